#include "taskbar/ui/style_editor.h"

#include "brand/brand.h"
#include "brand/brand_font.h"
#include "brand/ui/page_scroll.h"
#include "clock/ui/clock_controls.h"
#include "core/notices.h"
#include "core/settings_sync.h"
#include "core/zentrove.h"
#include "library/library_store.h"
#include "taskbar/preview/now_playing_face.h"
#include "taskbar/preview/preview_bar.h"
#include "taskbar/settings_store.h"
#include "taskbar/ui/theme_card.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>



namespace {

template<typename E>
QStringList titles()
{
    QStringList list;
    for (E value : TaskbarEnum::allCases<E>())
        list << TaskbarEnum::title(value);
    return list;
}

QString points(double value)
{
    return QString::number(value, 'f', 0) + QStringLiteral(" pt");
}

QString zoom(double value)
{
    return value <= 1.001 ? QStringLiteral("Off") : QStringLiteral("×") + QString::number(value, 'f', 2);
}

// A row of controls with a note under them, indented to the controls.
QLabel* noteUnder(QVBoxLayout* layout, const QString& text, QWidget* parent)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 4);
    row->addSpacing(ClockControls::titleWidth + 12);
    QLabel* note = ClockControls::note(text, parent);
    note->setWordWrap(true);
    row->addWidget(note, 1);
    layout->addLayout(row);
    return note;
}

// The now-playing widget on a strip of the bar, as the bar would show it.
class NowPlayingPreview : public QWidget
{
public:
    explicit NowPlayingPreview(SettingsStore& store, QWidget* parent)
        : QWidget(parent)
        , m_store(store)
    {
        setMinimumHeight(84);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        TaskbarSettings s = m_store.settings().asBottomBar().withoutWindowBlur();
        const QRectF strip(10, (height() - 52) / 2.0, width() - 20, 52);
        // A piece of wallpaper behind, so a bar in the page's own colour still stands out.
        p.save();
        QPainterPath clip;
        clip.addRoundedRect(QRectF(rect()), 8, 8);
        p.setClipPath(clip);
        const QImage wallpaper = PreviewBar::sampleWallpaper(size());
        p.drawImage(QPointF(0, 0), wallpaper);
        p.restore();
        p.setPen(Qt::NoPen);
        p.setBrush(s.background.color());
        p.drawRoundedRect(strip, 8, 8);
        if (s.nowPlaying == NowPlayingStyle::off) {
            p.setPen(Brand::muted());
            p.setFont(BrandFont::ui(9));
            p.drawText(strip, Qt::AlignCenter, QStringLiteral("Off: the bar shows no song."));
            return;
        }
        s.barHeight = strip.height();
        const double len = length(s.nowPlaying, s);
        NowPlayingFace::draw(p, QRectF(strip.center().x() - len / 2, strip.top(), len, strip.height()), s);
    }

private:
    SettingsStore& m_store;
};

} // namespace

// --- BarHold --------------------------------------------------------------------------------

int BarHold::standardInterval()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("ZENTROVE_TASKBAR_HOLD_MS", &ok);
    return ok && ms > 0 ? ms : 20000;
}

BarHold::BarHold(QObject* parent, Send send)
    : QObject(parent)
    , m_send(send ? std::move(send) : Send([](const QString& command) { SettingsSync::send(command, Zentrove::taskbarID()); }))
{
    m_timer.setInterval(standardInterval());
    connect(&m_timer, &QTimer::timeout, this, [this] { m_send(TaskbarCommands::holdOpen()); });
}

BarHold::~BarHold()
{
    end();
}

void BarHold::begin()
{
    if (m_timer.isActive())
        return;
    m_send(TaskbarCommands::holdOpen());
    m_timer.start();
}

void BarHold::end()
{
    if (!m_timer.isActive())
        return;
    m_timer.stop();
    m_send(TaskbarCommands::releaseHold());
}

// --- StyleEditor ----------------------------------------------------------------------------

QStringList StyleEditor::sectionIDs()
{
    return {QStringLiteral("style"), QStringLiteral("appearance"), QStringLiteral("layout"), QStringLiteral("icons"),
            QStringLiteral("indicator"), QStringLiteral("clock"), QStringLiteral("widgets"), QStringLiteral("nowplaying")};
}

QString StyleEditor::sectionTitle(const QString& id)
{
    static const QHash<QString, QString> names {
        {QStringLiteral("style"), QStringLiteral("Style")},
        {QStringLiteral("appearance"), QStringLiteral("Bar")},
        {QStringLiteral("layout"), QStringLiteral("Size and place")},
        {QStringLiteral("icons"), QStringLiteral("Icons")},
        {QStringLiteral("indicator"), QStringLiteral("Running indicator")},
        {QStringLiteral("clock"), QStringLiteral("Clock")},
        {QStringLiteral("widgets"), QStringLiteral("Also on the bar")},
        {QStringLiteral("nowplaying"), QStringLiteral("Now Playing")},
    };
    return names.value(id);
}

QStringList StyleEditor::clockLookTitles()
{
    return {QStringLiteral("Time only"), QStringLiteral("Date under the time"), QStringLiteral("Mono, with seconds"), QStringLiteral("Your own date")};
}

StyleEditor::StyleEditor(SettingsStore& store, LibraryStore* library, QWidget* parent, BarHold::Send send)
    : QWidget(parent)
    , m_store(store)
    , m_library(library)
    , m_hold(this, std::move(send))
    , m_preview(new MiniBar(this))
    , m_title(new QLabel(this))
    , m_sections(new QListWidget(this))
    , m_panels(new QStackedWidget(this))
    , m_saveBar(new QFrame(this))
    , m_saveText(new QLabel(m_saveBar))
    , m_save(new QPushButton(QStringLiteral("Save style"), m_saveBar))
    , m_discard(new QPushButton(QStringLiteral("Discard changes"), m_saveBar))
    , m_back(new QPushButton(QStringLiteral("‹ Taskbar"), this))
{
    const int padding = int(Brand::pagePadding);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(padding, padding - 8, padding, padding - 8);
    outer->setSpacing(10);

    auto* top = new QHBoxLayout;
    m_back->setProperty("role", QStringLiteral("link"));
    m_back->setCursor(Qt::PointingHandCursor);
    top->addWidget(m_back);
    m_title->setFont(BrandFont::display(18, QFont::DemiBold));
    m_title->setTextFormat(Qt::PlainText);
    top->addWidget(m_title, 1);
    outer->addLayout(top);
    // The bar at full size on a strip of the wallpaper.
    m_preview->setScale(1.0);
    m_preview->setAspect(0.11);
    m_preview->setMinimumHeight(96);
    outer->addWidget(m_preview);

    m_saveBar->setProperty("role", QStringLiteral("box"));
    auto* saveLayout = new QHBoxLayout(m_saveBar);
    saveLayout->setContentsMargins(14, 8, 14, 8);
    m_saveText->setWordWrap(true);
    saveLayout->addWidget(m_saveText, 1);
    saveLayout->addWidget(m_discard);
    m_save->setProperty("role", QStringLiteral("primary"));
    saveLayout->addWidget(m_save);
    outer->addWidget(m_saveBar);

    auto* body = new QHBoxLayout;
    body->setSpacing(18);
    m_sections->setFixedWidth(170);
    m_sections->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_sections->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_sections->setFixedHeight(int(sectionIDs().size()) * 32 + 4);
    m_sections->setFrameShape(QFrame::NoFrame);
    m_sections->setAccessibleName(QStringLiteral("Sections"));
    for (const QString& id : sectionIDs()) {
        auto* item = new QListWidgetItem(sectionTitle(id), m_sections);
        item->setData(Qt::UserRole, id);
        item->setSizeHint(QSize(160, 32));
        m_panels->addWidget(PageScroll::around(panel(id), m_panels));
    }
    body->addWidget(m_sections, 0, Qt::AlignTop);
    body->addWidget(m_panels, 1);
    outer->addLayout(body, 1);

    connect(m_sections, &QListWidget::currentRowChanged, m_panels, &QStackedWidget::setCurrentIndex);
    m_sections->setCurrentRow(0);
    connect(m_back, &QPushButton::clicked, this, &StyleEditor::backRequested);
    connect(m_save, &QPushButton::clicked, this, &StyleEditor::saveIntoRequested);
    connect(m_discard, &QPushButton::clicked, this, &StyleEditor::discardRequested);
    connect(&m_store, &SettingsStore::settingsChanged, this, &StyleEditor::sync);
    connect(&m_store, &SettingsStore::themesChanged, this, &StyleEditor::syncSaveBar);
    connect(&m_store, &SettingsStore::activeThemeIDChanged, this, &StyleEditor::syncSaveBar);
    if (m_library)
        connect(m_library, &LibraryStore::ensemblesChanged, this, &StyleEditor::syncSaveBar);
    sync();
}

StyleEditor::~StyleEditor() = default;

QWidget* StyleEditor::panel(const QString& id)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 12, 0);
    layout->setSpacing(6);
    layout->addWidget(ClockControls::heading(sectionTitle(id), page));
    Controls& c = m_c;
    auto slider = [&](SliderRow*& row, const QString& title, double min, double max, double step, SliderRow::Format format,
                      std::function<void(TaskbarSettings&, double)> set) {
        row = new SliderRow(title, min, max, step, std::move(format), page);
        connect(row, &SliderRow::edited, this, [this, set = std::move(set)](double v) { edit([&](TaskbarSettings& s) { set(s, v); }); });
        layout->addWidget(row);
    };
    auto toggle = [&](ToggleRow*& row, const QString& title, std::function<void(TaskbarSettings&, bool)> set) {
        row = new ToggleRow(title, page);
        connect(row, &ToggleRow::toggled, this, [this, set = std::move(set)](bool on) { edit([&](TaskbarSettings& s) { set(s, on); }); });
        layout->addWidget(row);
    };
    auto colour = [&](ColourRow*& row, const QString& title, std::function<void(TaskbarSettings&, const RGBA&)> set) {
        row = new ColourRow(title, page);
        connect(row->well(), &ColourWell::picked, this, [this, set = std::move(set)](const RGBA& v) { edit([&](TaskbarSettings& s) { set(s, v); }); });
        layout->addWidget(row);
    };

    if (id == QLatin1String("style")) {
        m_styleName = new QLabel(page);
        m_styleName->setFont(BrandFont::ui(12, QFont::DemiBold));
        m_styleName->setTextFormat(Qt::PlainText);
        m_styleName->setWordWrap(true);
        layout->addWidget(m_styleName);
        m_styleState = ClockControls::note(QString(), page);
        layout->addWidget(m_styleState);
        layout->addSpacing(8);
        auto action = [&](const QString& text, const QString& note, void (StyleEditor::*signal)()) {
            auto* button = new QPushButton(text, page);
            connect(button, &QPushButton::clicked, this, signal);
            layout->addWidget(button, 0, Qt::AlignLeft);
            if (!note.isEmpty())
                layout->addWidget(ClockControls::note(note, page));
            layout->addSpacing(6);
            return button;
        };
        action(QStringLiteral("Save your changes into this style"), QString(), &StyleEditor::saveIntoRequested)->setObjectName(QStringLiteral("saveInto"));
        action(QStringLiteral("Save as a New Style"), QStringLiteral("Keep this style as it is and save your changes as a new one"), &StyleEditor::saveAsNewRequested)
            ->setObjectName(QStringLiteral("saveAsNew"));
        action(QStringLiteral("Discard changes"), QStringLiteral("Go back to this style as it was saved"), &StyleEditor::discardRequested)
            ->setObjectName(QStringLiteral("discard"));
        c.saveLook = action(QStringLiteral("Save the bar as it looks now."), QString(), &StyleEditor::newStyleRequested);
    } else if (id == QLatin1String("appearance")) {
        c.background = new ChoiceRow(QStringLiteral("Background"), titles<BackgroundStyle>(), page);
        connect(c.background, &ChoiceRow::chosen, this, [this](int i) { edit([&](TaskbarSettings& s) { s.backgroundStyle = TaskbarEnum::allCases<BackgroundStyle>().value(i); }); });
        layout->addWidget(c.background);
        colour(c.topColour, QStringLiteral("Colour"), [](TaskbarSettings& s, const RGBA& v) { s.background = v; });
        colour(c.bottomColour, QStringLiteral("Bottom colour"), [](TaskbarSettings& s, const RGBA& v) { s.background2 = v; });
        slider(c.opacity, QStringLiteral("Opacity"), 0, 1, 0.01, &SliderRow::percent, [](TaskbarSettings& s, double v) {
            s.background.a = v;
            s.background2.a = v;
        });
        colour(c.foreground, QStringLiteral("Text and highlights"), [](TaskbarSettings& s, const RGBA& v) { s.foreground = v; });
        slider(c.edgeLine, QStringLiteral("Edge line"), 0, 0.5, 0.01, &SliderRow::percent, [](TaskbarSettings& s, double v) { s.topBorderOpacity = v; });
    } else if (id == QLatin1String("layout")) {
        c.position = new MenuRow(QStringLiteral("Position"), titles<BarEdge>(), page);
        connect(c.position, &MenuRow::chosen, this, [this](int i) { edit([&](TaskbarSettings& s) { s.edge = TaskbarEnum::allCases<BarEdge>().value(i); }); });
        layout->addWidget(c.position);
        c.corners = new ChoiceRow(QStringLiteral("Corners"), titles<BarCorners>(), page);
        connect(c.corners, &ChoiceRow::chosen, this, [this](int i) { edit([&](TaskbarSettings& s) { s.barCorners = TaskbarEnum::allCases<BarCorners>().value(i); }); });
        layout->addWidget(c.corners);
        slider(c.cornerRadius, QStringLiteral("Corner radius"), 0, 30, 1, &points, [](TaskbarSettings& s, double v) { s.barRadius = v; });
        slider(c.thickness, QStringLiteral("Thickness"), 28, 96, 1, &points, [](TaskbarSettings& s, double v) { s.barHeight = v; });
        slider(c.length, QStringLiteral("Length"), 0.3, 1, 0.01, &SliderRow::percent, [](TaskbarSettings& s, double v) { s.barWidth = v; });
        slider(c.edgeGap, QStringLiteral("Gap from edge"), 0, 40, 1, &points, [](TaskbarSettings& s, double v) { s.edgeGap = v; });
    } else if (id == QLatin1String("icons")) {
        slider(c.iconSize, QStringLiteral("Size"), 16, 80, 1, &points, [](TaskbarSettings& s, double v) { s.iconSize = v; });
        slider(c.iconSpacing, QStringLiteral("Spacing"), 0, 24, 1, &points, [](TaskbarSettings& s, double v) { s.iconSpacing = v; });
        c.alignment = new ChoiceRow(QStringLiteral("Alignment"), titles<IconAlignment>(), page);
        connect(c.alignment, &ChoiceRow::chosen, this, [this](int i) { edit([&](TaskbarSettings& s) { s.alignment = TaskbarEnum::allCases<IconAlignment>().value(i); }); });
        layout->addWidget(c.alignment);
        slider(c.hoverZoom, QStringLiteral("When you point at one"), 1, 1.6, 0.05, &zoom, [](TaskbarSettings& s, double v) { s.hoverZoom = v; });
        slider(c.highlight, QStringLiteral("Highlight"), 0, 0.4, 0.01, &SliderRow::percent, [](TaskbarSettings& s, double v) { s.hoverOpacity = v; });
        slider(c.tileRadius, QStringLiteral("Highlight corners"), 0, 20, 1, &points, [](TaskbarSettings& s, double v) { s.tileRadius = v; });
    } else if (id == QLatin1String("indicator")) {
        c.indicator = new ChoiceRow(QStringLiteral("Style"), titles<IndicatorStyle>(), page);
        connect(c.indicator, &ChoiceRow::chosen, this, [this](int i) { edit([&](TaskbarSettings& s) { s.indicator = TaskbarEnum::allCases<IndicatorStyle>().value(i); }); });
        layout->addWidget(c.indicator);
        slider(c.indicatorGap, QStringLiteral("Gap"), 0, 12, 1, &points, [](TaskbarSettings& s, double v) { s.indicatorGap = v; });
        colour(c.indicatorColour, QStringLiteral("Colour"), [](TaskbarSettings& s, const RGBA& v) {
            // The picked colour keeps the indicator's opacity.
            s.indicatorColor = RGBA(v.r, v.g, v.b, s.indicatorColor.a);
        });
        toggle(c.followsWallpaper, QStringLiteral("Follows the wallpaper"), [](TaskbarSettings& s, bool on) { s.indicatorFollowsWallpaper = on; });
        noteUnder(layout, QStringLiteral("Takes the accent colour of the wallpaper behind the bar."), page);
    } else if (id == QLatin1String("clock")) {
        toggle(c.showClock, QStringLiteral("Show the clock"), [](TaskbarSettings& s, bool on) { s.showClock = on; });
        auto* looks = new QHBoxLayout;
        looks->setContentsMargins(ClockControls::titleWidth + 12, 2, 0, 6);
        looks->setSpacing(6);
        const QStringList names = clockLookTitles();
        for (int i = 0; i < names.size(); ++i) {
            auto* button = new QPushButton(names[i], page);
            connect(button, &QPushButton::clicked, this, [this, i] { applyClockLook(i); });
            looks->addWidget(button);
            c.clockLooks << button;
        }
        looks->addStretch(1);
        layout->addLayout(looks);
        slider(c.clockSize, QStringLiteral("Size"), 0.7, 1.5, 0.05, &SliderRow::percent, [](TaskbarSettings& s, double v) { s.clockScale = v; });
        c.clockFont = new MenuRow(QStringLiteral("Font"), titles<ClockFont>(), page);
        connect(c.clockFont, &MenuRow::chosen, this, [this](int i) { edit([&](TaskbarSettings& s) { s.clockFont = TaskbarEnum::allCases<ClockFont>().value(i); }); });
        layout->addWidget(c.clockFont);
        layout->addSpacing(10);
        layout->addWidget(ClockControls::heading(QStringLiteral("Clock details"), page));
        toggle(c.seconds, QStringLiteral("Seconds"), [](TaskbarSettings& s, bool on) { s.showSeconds = on; });
        toggle(c.hours24, QStringLiteral("24-hour time"), [](TaskbarSettings& s, bool on) { s.use24Hour = on; });
        toggle(c.date, QStringLiteral("Date"), [](TaskbarSettings& s, bool on) { s.showDate = on; });
        auto* formatRow = new QHBoxLayout;
        QLabel* formatTitle = ClockControls::title(QStringLiteral("Date format"), page);
        formatTitle->setFixedWidth(ClockControls::titleWidth);
        formatRow->setSpacing(12);
        formatRow->addWidget(formatTitle);
        c.dateFormat = new QLineEdit(page);
        c.dateFormat->setAccessibleName(QStringLiteral("Date format"));
        c.dateFormat->setMaximumWidth(240);
        formatRow->addWidget(c.dateFormat);
        formatRow->addStretch(1);
        layout->addLayout(formatRow);
        noteUnder(layout, QStringLiteral("d day, M month, yyyy year, EEE weekday, MMM month name."), page);
        connect(c.dateFormat, &QLineEdit::textEdited, this, [this](const QString& text) {
            // An empty pattern would leave the date blank: the locale's pattern stands in.
            edit([&](TaskbarSettings& s) { s.dateFormat = text.trimmed().isEmpty() ? TaskbarSettings::macDateFormat() : text; });
        });
    } else if (id == QLatin1String("widgets")) {
        toggle(c.startButton, QStringLiteral("Start button"), [](TaskbarSettings& s, bool on) { s.startButton = on; });
        noteUnder(layout, QStringLiteral("Opens the Apps launcher."), page);
        toggle(c.downloads, QStringLiteral("Downloads"), [](TaskbarSettings& s, bool on) { s.showDownloads = on; });
        noteUnder(layout, QStringLiteral("The newest files, a click away."), page);
        c.trash = new MenuRow(QStringLiteral("Trash"), titles<TrashPlacement>(), page);
        connect(c.trash, &MenuRow::chosen, this, [this](int i) { edit([&](TaskbarSettings& s) { s.trash = TaskbarEnum::allCases<TrashPlacement>().value(i); }); });
        layout->addWidget(c.trash);
    } else if (id == QLatin1String("nowplaying")) {
        c.nowPlaying = new MenuRow(QStringLiteral("Now Playing"), titles<NowPlayingStyle>(), page);
        connect(c.nowPlaying, &MenuRow::chosen, this, [this](int i) { edit([&](TaskbarSettings& s) { s.nowPlaying = TaskbarEnum::allCases<NowPlayingStyle>().value(i); }); });
        layout->addWidget(c.nowPlaying);
        noteUnder(layout, NowPlayingFace::helpText(), page);
        c.nowPlayingPreview = new NowPlayingPreview(m_store, page);
        layout->addWidget(c.nowPlayingPreview);
    }
    layout->addStretch(1);
    return page;
}

void StyleEditor::edit(const std::function<void(TaskbarSettings&)>& change)
{
    TaskbarSettings settings = m_store.settings();
    change(settings);
    m_store.setSettings(settings);
}

void StyleEditor::applyClockLook(int index)
{
    edit([index](TaskbarSettings& s) {
        s.showClock = true;
        switch (index) {
        case 0:
            s.showDate = false;
            s.showSeconds = false;
            s.clockFont = ClockFont::standard;
            break;
        case 1:
            s.showDate = true;
            s.showSeconds = false;
            s.clockFont = ClockFont::standard;
            s.dateFormat = TaskbarSettings::macDateFormat();
            break;
        case 2:
            s.showDate = false;
            s.showSeconds = true;
            s.clockFont = ClockFont::monospaced;
            break;
        default:
            s.showDate = true;
            break;
        }
    });
    if (index == 3) {
        m_c.dateFormat->setFocus();
        m_c.dateFormat->selectAll();
    }
}

QString StyleEditor::section() const
{
    return sectionIDs().value(m_sections->currentRow());
}

bool StyleEditor::setSection(const QString& id)
{
    const qsizetype at = sectionIDs().indexOf(id.toLower());
    if (at < 0)
        return false;
    m_sections->setCurrentRow(int(at));
    return true;
}

void StyleEditor::setBackdrop(const QImage& image)
{
    m_preview->setBackdrop(image);
}

void StyleEditor::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    sync();
}

void StyleEditor::sync()
{
    const TaskbarSettings& s = m_store.settings();
    Controls& c = m_c;
    m_preview->setSettings(s);
    c.background->setCurrent(int(TaskbarEnum::allCases<BackgroundStyle>().indexOf(s.backgroundStyle)));
    const bool gradient = s.backgroundStyle == BackgroundStyle::gradient;
    c.topColour->findChild<QLabel*>()->setText(gradient ? QStringLiteral("Top colour") : QStringLiteral("Colour"));
    c.topColour->well()->setColour(s.background);
    c.bottomColour->setVisible(gradient);
    c.bottomColour->well()->setColour(s.background2);
    c.opacity->setValue(s.background.a);
    c.foreground->well()->setColour(s.foreground);
    c.edgeLine->setValue(s.topBorderOpacity);
    c.position->setCurrent(int(TaskbarEnum::allCases<BarEdge>().indexOf(s.edge)));
    // The corners are named after the side that faces away from the bar's edge.
    for (int i = 0; i < c.corners->count(); ++i)
        c.corners->button(i)->setText(title(TaskbarEnum::allCases<BarCorners>().value(i), s.edge));
    c.corners->setCurrent(int(TaskbarEnum::allCases<BarCorners>().indexOf(s.barCorners)));
    c.cornerRadius->setValue(s.barRadius);
    c.cornerRadius->setEnabled(s.barCorners != BarCorners::square);
    c.thickness->setValue(s.barHeight);
    c.length->setValue(s.barWidth);
    c.edgeGap->setValue(s.edgeGap);
    c.iconSize->setValue(s.iconSize);
    c.iconSpacing->setValue(s.iconSpacing);
    c.alignment->setCurrent(int(TaskbarEnum::allCases<IconAlignment>().indexOf(s.alignment)));
    c.hoverZoom->setValue(s.hoverZoom);
    c.highlight->setValue(s.hoverOpacity);
    c.tileRadius->setValue(s.tileRadius);
    c.indicator->setCurrent(int(TaskbarEnum::allCases<IndicatorStyle>().indexOf(s.indicator)));
    c.indicatorGap->setValue(s.indicatorGap.value_or(2));
    c.indicatorGap->setEnabled(s.indicator != IndicatorStyle::none);
    c.indicatorColour->well()->setColour(s.indicatorColor);
    c.indicatorColour->setEnabled(!s.indicatorFollowsWallpaper);
    c.followsWallpaper->setChecked(s.indicatorFollowsWallpaper);
    c.showClock->setChecked(s.showClock);
    c.clockSize->setValue(s.clockScale);
    c.clockFont->setCurrent(int(TaskbarEnum::allCases<ClockFont>().indexOf(s.clockFont)));
    c.seconds->setChecked(s.showSeconds);
    c.hours24->setChecked(s.use24Hour);
    c.date->setChecked(s.showDate);
    // The field being typed in keeps what is typed, even while it stands in for an empty pattern.
    if (!c.dateFormat->hasFocus() && c.dateFormat->text() != s.dateFormat)
        c.dateFormat->setText(s.dateFormat);
    c.dateFormat->setEnabled(s.showDate);
    c.startButton->setChecked(s.startButton);
    c.downloads->setChecked(s.showDownloads);
    c.trash->setCurrent(int(TaskbarEnum::allCases<TrashPlacement>().indexOf(s.trash)));
    c.nowPlaying->setCurrent(int(TaskbarEnum::allCases<NowPlayingStyle>().indexOf(s.nowPlaying)));
    c.nowPlayingPreview->update();
    syncSaveBar();
}

void StyleEditor::syncSaveBar()
{
    const std::optional<Theme> active = m_store.activeTheme();
    const bool edited = active && m_store.activeThemeEdited();
    m_title->setText(active ? QStringLiteral("Edit “") + active->name + QStringLiteral("”") : QStringLiteral("Edit style"));
    m_saveBar->setVisible(edited);
    if (edited)
        m_saveText->setText(QStringLiteral("Your changes to “") + active->name + QStringLiteral("” aren't saved in the style yet."));
    if (m_styleName) {
        m_styleName->setText(active ? active->name : QStringLiteral("No style in use"));
        QString state;
        if (!active)
            state = QStringLiteral("The bar wears no saved style. Save it to keep this look.");
        else if (edited)
            state = QStringLiteral("Edited since it was saved.");
        else
            state = QStringLiteral("As it was saved.");
        if (active && m_library) {
            const int n = m_library->ensembleCountOfTaskbar(active->id);
            if (n > 0)
                state += n == 1 ? QStringLiteral(" Used by 1 ensemble.") : QStringLiteral(" Used by %1 ensembles.").arg(n);
        }
        m_styleState->setText(state);
        for (const char* name : {"saveInto", "saveAsNew", "discard"})
            if (auto* button = findChild<QPushButton*>(QLatin1String(name)))
                button->setEnabled(edited);
    }
}
