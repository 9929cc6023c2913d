#pragma once

#include "clock/named_style.h"

#include <QFrame>
#include <QImage>

class QLabel;
class QToolButton;

// The picture of a preset on a card: the clock drawn on the backdrop, kept until the style, the
// backdrop, the size, the accent, the hour format or the minute shown changes.
class PresetPreview : public QWidget
{
    Q_OBJECT
public:
    explicit PresetPreview(QWidget* parent = nullptr);

    void setClockStyle(const ClockStyle& style);
    void setBackdrop(const QImage& image);
    // How many times the picture was drawn (it is kept between paints).
    int drawCount() const { return m_draws; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ClockStyle m_style;
    QImage m_backdrop;
    QImage m_image;
    QString m_key;
    int m_draws = 0;
};

// A preset in the overview's grid: its preview, name, how many ensembles use it and, on the
// active preset, whether it is in use or edited. The menu button opens the card's menu.
class PresetCard : public QFrame
{
    Q_OBJECT
public:
    enum class Status { none, inUse, edited };

    explicit PresetCard(QWidget* parent = nullptr);

    void setPreset(const NamedStyle& preset, Status status, const QString& ensembles, bool selected);
    void setBackdrop(const QImage& image) { m_preview->setBackdrop(image); }

    const NamedStyle& preset() const { return m_preset; }
    Status status() const { return m_status; }
    QString nameText() const;
    QString ensemblesText() const;
    QString statusText() const;
    bool isSelected() const { return m_selected; }
    QToolButton* menuButton() const { return m_menuButton; }
    PresetPreview* preview() const { return m_preview; }

signals:
    void clicked();
    void doubleClicked();
    void menuRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    NamedStyle m_preset;
    Status m_status = Status::none;
    bool m_selected = false;
    PresetPreview* m_preview;
    QLabel* m_name;
    QLabel* m_ensembles;
    QLabel* m_statusLabel;
    QToolButton* m_menuButton;
};
