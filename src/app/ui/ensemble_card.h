#pragma once

#include <QColor>
#include <QImage>
#include <QUuid>
#include <QWidget>

// One tile of the ensembles gallery, painted in one pass (a gallery may hold hundreds): the
// wallpaper thumbnail with a small clock chip, the name, one status line, and "Apply" while the
// pointer is over it. The same tile shows the same-as-main card and the "New ensemble" tile.
class EnsembleCard : public QWidget
{
    Q_OBJECT
public:
    enum class Kind { ensemble, sameAsMain, add, tile };

    struct Content
    {
        QString name;
        QString status;
        QColor statusColour;
        QString clockText;   // the chip's time; empty: no chip
        QColor clockColour;
        bool canApply = true; // not the one in use
        bool operator==(const Content&) const = default;
    };

    static constexpr int cardWidth = 196;
    static constexpr int cardHeight = 176;

    EnsembleCard(Kind kind, const QUuid& id, QWidget* parent = nullptr);

    Kind kind() const { return m_kind; }
    QUuid id() const { return m_id; }
    const Content& content() const { return m_content; }
    void setContent(const Content& content);
    // A picture made by the caller (the editor's tiles).
    void setThumbnail(const QImage& image);
    // The wallpaper thumbnail at `path`, asked of the app's cache when the card is painted, so
    // only cards on screen read theirs. The owner calls update() when the cache has it.
    void setPicturePath(const QString& path, int version);
    const QString& picturePath() const { return m_picturePath; }
    // What the card shows now (a null image while it is read).
    QImage thumbnail() const;
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }

    // Where "Apply" sits (shown while the pointer is over the card).
    QRect applyRect() const;
    QRect thumbnailRect() const;
    bool isApplyVisible() const { return m_hovered && canApply(); }
    bool canApply() const { return m_content.canApply && (m_kind == Kind::ensemble || m_kind == Kind::sameAsMain); }

    QSize sizeHint() const override { return size(); }

    // The picture at `path` for a view `width` pixels wide, from the app's thumbnail cache: null
    // until read (the cache's loaded() says when). Widths come in steps, so a view resized by a
    // few pixels reuses its picture.
    static QImage picture(const QString& path, int width, int version);

signals:
    void clicked(const QUuid& id);
    void doubleClicked(const QUuid& id);
    void applyClicked(const QUuid& id);
    void menuRequested(const QUuid& id, const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Kind m_kind;
    QUuid m_id;
    Content m_content;
    QImage m_thumbnail;
    QString m_picturePath;
    int m_pictureVersion = 0;
    bool m_selected = false;
    bool m_hovered = false;
};
