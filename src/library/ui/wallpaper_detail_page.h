#pragma once

#include "library/ui/library_grid_screen.h"
#include "library/wallpaper.h"
#include "platform/screens.h"

#include <QImage>
#include <QThreadPool>
#include <QWidget>

#include <optional>

class LibraryStore;
class QButtonGroup;
class QLabel;
class QPushButton;
class QToolButton;
class QVBoxLayout;
class VideoPreview;
struct DynamicPicture;

// A still picture, fitted into the widget with rounded corners; black until it is in.
class PicturePreview : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
};

// One wallpaper: a large preview (the video looping silently, the picture, or a dynamic
// picture's frames), the main action, its facts, the ensembles that show it and its buttons.
class WallpaperDetailPage : public QWidget
{
    Q_OBJECT
public:
    // Where the main action applies: the main display, one other display, or all of them.
    struct Target
    {
        enum class Kind { main, display, all } kind = Kind::main;
        ScreenInfo screen;
    };

    WallpaperDetailPage(LibraryStore& store, const QUuid& id, const LibraryPageHooks& hooks, QWidget* parent = nullptr);
    ~WallpaperDetailPage() override;

    QUuid wallpaperID() const { return m_id; }
    bool isVideo() const { return m_video; }

    QPushButton* backButton() const { return m_back; }
    QLabel* nameLabel() const { return m_name; }
    VideoPreview* videoPreview() const { return m_videoPreview; }
    PicturePreview* picturePreview() const { return m_picture; }
    QList<QToolButton*> frameButtons() const { return m_frameButtons; }
    QLabel* frameCaption() const { return m_caption; }
    QPushButton* mainAction() const { return m_action; }
    QLabel* mainActionHelp() const { return m_help; }
    QToolButton* targetButton() const { return m_targetButton; }
    // Fact rows by title ("Resolution", "Length", "Size", "Changes with"); empty until read.
    QString fact(const QString& title) const;
    QLabel* ensemblesHeading() const { return m_ensemblesHeading; }
    QList<QPushButton*> ensembleRows() const { return m_ensembleRows; }
    QPushButton* newEnsembleButton() const { return m_newEnsemble; }
    QPushButton* refreshButton() const { return m_refresh; }
    QPushButton* revealButton() const { return m_reveal; }
    QPushButton* removeButton() const { return m_remove; }

    const Target& target() const { return m_target; }
    void setTarget(const Target& target);
    // The picture facts and frames are in (tests wait for it).
    bool isLoaded() const { return m_loaded; }

    void runMainAction();
    void newEnsemble();
    void previewFrame(int position);

signals:
    void backRequested();
    void revealRequested(const QString& path);
    void loaded();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Facts;
    std::optional<Wallpaper> wallpaper() const;
    void load();
    void showFacts(const Facts& facts);
    void syncName();
    void syncMainAction();
    void syncEnsembles();
    void addFact(const QString& title, const QString& value);

    LibraryStore& m_store;
    QUuid m_id;
    LibraryPageHooks m_hooks;
    bool m_video = false;
    Target m_target;
    bool m_loaded = false;
    QThreadPool m_pool;
    QList<int> m_frameIndexes;
    QString m_mediaPath;

    QPushButton* m_back;
    QLabel* m_name;
    QWidget* m_previewBox;
    VideoPreview* m_videoPreview = nullptr;
    PicturePreview* m_picture = nullptr;
    QWidget* m_strip;
    QButtonGroup* m_frameGroup;
    QList<QToolButton*> m_frameButtons;
    QLabel* m_caption;
    QPushButton* m_action;
    QToolButton* m_targetButton;
    QLabel* m_help;
    QVBoxLayout* m_factsLayout;
    QHash<QString, QLabel*> m_facts;
    QLabel* m_ensemblesHeading;
    QVBoxLayout* m_ensemblesLayout;
    QList<QPushButton*> m_ensembleRows;
    QPushButton* m_newEnsemble;
    QPushButton* m_refresh;
    QPushButton* m_reveal;
    QPushButton* m_remove;
};
