#include "clock/ui/clock_editor.h"

#include "brand/brand.h"
#include "brand/brand_font.h"
#include "brand/ui/page_scroll.h"
#include "brand/ui/toggle_switch.h"
#include "clock/clock_view.h"
#include "clock/style_store.h"
#include "clock/ui/backdrop_choice.h"
#include "clock/ui/backdrop_images.h"
#include "clock/ui/clock_controls.h"
#include "clock/ui/screen_preview.h"
#include "library/library_store.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QVBoxLayout* tabLayout(QWidget* tab)
{
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(2, 6, 12, 16);
    layout->setSpacing(2);
    return layout;
}

QStringList titles(const auto& cases)
{
    QStringList list;
    for (const auto& value : cases)
        list << title(value);
    return list;
}

template<typename E>
int indexOf(E value)
{
    return int(allCases<E>().indexOf(value));
}

} // namespace

ClockEditor::ClockEditor(StyleStore& store, BackdropChoice& backdrop, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_backdrop(backdrop)
{
    const int padding = int(Brand::pagePadding);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(padding, padding - 8, padding, 0);
    page->setSpacing(12);

    // Header: the way back and what is being edited.
    m_back = new QPushButton(QStringLiteral("‹  Back to the Lock Screen Clock page"), this);
    m_back->setProperty("role", QStringLiteral("link"));
    m_back->setCursor(Qt::PointingHandCursor);
    connect(m_back, &QPushButton::clicked, this, &ClockEditor::backRequested);
    page->addWidget(m_back, 0, Qt::AlignLeft);
    m_title = new ElidedLabel(this);
    m_title->setFont(BrandFont::display(20, QFont::DemiBold));
    m_title->setTextFormat(Qt::PlainText);
    m_title->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    page->addWidget(m_title);

    auto* columns = new QHBoxLayout;
    columns->setSpacing(26);
    page->addLayout(columns, 1);

    // Left: the preview, what it is shown on, and saving.
    auto* left = new QVBoxLayout;
    left->setSpacing(10);
    m_preview = new ScreenPreview(this);
    m_preview->setFixedWidth(420);
    m_preview->setFixedHeight(m_preview->heightForWidth(420));
    left->addWidget(m_preview);
    auto* previewRow = new QHBoxLayout;
    auto* previewLabel = new QLabel(QStringLiteral("PREVIEW ON"), this);
    previewLabel->setFont(BrandFont::mono(8, QFont::Medium));
    previewLabel->setProperty("role", QStringLiteral("muted"));
    previewRow->addWidget(previewLabel);
    m_previewOn = new QToolButton(this);
    m_previewOn->setToolTip(QStringLiteral("Choose what the clock is previewed on"));
    m_previewOn->setAccessibleName(QStringLiteral("PREVIEW ON"));
    m_previewOn->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_previewOn->setCursor(Qt::PointingHandCursor);
    m_previewOn->setProperty("role", QStringLiteral("previewOn"));
    connect(m_previewOn, &QToolButton::clicked, this, [this] {
        QMenu* menu = previewOnMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(m_previewOn->mapToGlobal(QPoint(0, m_previewOn->height())));
    });
    previewRow->addWidget(m_previewOn, 1, Qt::AlignLeft);
    left->addLayout(previewRow);
    m_backdropError = new QLabel(this);
    m_backdropError->setWordWrap(true);
    m_backdropError->setProperty("role", QStringLiteral("failure"));
    m_backdropError->setFixedWidth(420);
    m_backdropError->hide();
    left->addWidget(m_backdropError);

    auto* saveRow = new QHBoxLayout;
    saveRow->setSpacing(8);
    m_savePreset = new QPushButton(QStringLiteral("Save preset"), this);
    m_savePreset->setProperty("role", QStringLiteral("primary"));
    m_savePreset->setToolTip(QStringLiteral("Save your changes into this preset; ensembles that use it change too"));
    m_discard = new QPushButton(QStringLiteral("Discard changes"), this);
    m_discard->setToolTip(QStringLiteral("Go back to this preset as it was saved"));
    m_saveAsNew = new QPushButton(QStringLiteral("Save as new…"), this);
    m_saveAsNew->setToolTip(QStringLiteral("Save the current clock as a new preset"));
    m_saveNew = new QPushButton(QStringLiteral("Save Preset"), this);
    m_saveNew->setProperty("role", QStringLiteral("primary"));
    m_saveNew->setToolTip(QStringLiteral("Save the current clock so you can switch back to it later."));
    for (QPushButton* button : {m_savePreset, m_discard, m_saveAsNew, m_saveNew})
        saveRow->addWidget(button);
    saveRow->addStretch(1);
    left->addLayout(saveRow);
    left->addStretch(1);
    connect(m_savePreset, &QPushButton::clicked, this, [this] { m_store.saveCurrentToActivePreset(); });
    connect(m_discard, &QPushButton::clicked, this, [this] {
        if (const auto active = m_store.activePreset())
            m_store.applyPreset(*active);
    });
    connect(m_saveAsNew, &QPushButton::clicked, this, &ClockEditor::saveAsRequested);
    connect(m_saveNew, &QPushButton::clicked, this, &ClockEditor::saveAsRequested);
    columns->addLayout(left);

    // Right: the tabs.
    auto* right = new QVBoxLayout;
    right->setSpacing(6);
    m_tabBar = new ChoiceRow(QString(), titles(allCases<ClockTab>()), this);
    right->addWidget(m_tabBar);
    m_tabs = new QStackedWidget(this);
    for (QWidget* content : {buildTime(), buildLook(), buildDate(), buildText(), buildLayout()}) {
        m_tabs->addWidget(PageScroll::around(content, m_tabs));
    }
    right->addWidget(m_tabs, 1);
    columns->addLayout(right, 1);
    connect(m_tabBar, &ChoiceRow::chosen, this, [this](int index) { setTab(allCases<ClockTab>().value(index)); });

    connect(&m_store, &StyleStore::styleChanged, this, &ClockEditor::sync);
    connect(&m_store, &StyleStore::activePresetIDChanged, this, &ClockEditor::syncHeader);
    connect(&m_store, &StyleStore::customPresetsChanged, this, &ClockEditor::syncHeader);
    connect(&m_backdrop, &BackdropChoice::changed, this, &ClockEditor::syncBackdrop);
    setTab(ClockTab::time);
    sync();
    syncBackdrop();
}

void ClockEditor::setTab(ClockTab tab)
{
    m_tab = tab;
    m_tabBar->setCurrent(indexOf(tab));
    m_tabs->setCurrentIndex(indexOf(tab));
}

void ClockEditor::edit(const std::function<void(ClockStyle&)>& change)
{
    ClockStyle style = m_store.style();
    change(style);
    m_store.setStyle(style);
}

QWidget* ClockEditor::buildTime()
{
    auto* tab = new QWidget;
    QVBoxLayout* layout = tabLayout(tab);
    m_time.font = new FontPicker(tab);
    m_time.width = new SliderRow(QStringLiteral("Width"), 50, 150, 1, {}, tab);
    m_time.size = new SliderRow(QStringLiteral("Size"), 40, 240, 1, {}, tab);
    m_time.arrangement = new ChoiceRow(QStringLiteral("Arrangement"), titles(allCases<TimeArrangement>()), tab);
    m_time.separator = new ChoiceRow(QStringLiteral("Between digits"), titles(allCases<TimeSeparator>()), tab);
    m_time.seconds = new ToggleRow(QStringLiteral("Show seconds"), tab);
    m_time.leadingZero = new ToggleRow(QStringLiteral("Leading zero (09:05)"), tab);
    for (QWidget* row : std::initializer_list<QWidget*>{m_time.font, m_time.width, m_time.size, m_time.arrangement, m_time.separator,
                                                         m_time.seconds, m_time.leadingZero})
        layout->addWidget(row);
    layout->addSpacing(8);
    layout->addWidget(ClockControls::note(
        QStringLiteral("12- or 24-hour time is under How it works on the Lock Screen Clock page, since it's the same in every ensemble."), tab));
    layout->addStretch(1);

    connect(m_time.font, &FontPicker::edited, this, [this](const FontSpec& spec) { edit([&](ClockStyle& s) { s.timeFont = spec; }); });
    connect(m_time.width, &SliderRow::edited, this, [this](double v) { edit([&](ClockStyle& s) { s.timeFont.width = v; }); });
    connect(m_time.size, &SliderRow::edited, this, [this](double v) { edit([&](ClockStyle& s) { s.timeFont.size = v; }); });
    connect(m_time.arrangement, &ChoiceRow::chosen, this,
            [this](int i) { edit([&](ClockStyle& s) { s.arrangement = allCases<TimeArrangement>().value(i); }); });
    connect(m_time.separator, &ChoiceRow::chosen, this,
            [this](int i) { edit([&](ClockStyle& s) { s.separator = allCases<TimeSeparator>().value(i); }); });
    connect(m_time.seconds, &ToggleRow::toggled, this, [this](bool on) { edit([&](ClockStyle& s) { s.showSeconds = on; }); });
    connect(m_time.leadingZero, &ToggleRow::toggled, this, [this](bool on) { edit([&](ClockStyle& s) { s.leadingZero = on; }); });
    return tab;
}

QWidget* ClockEditor::buildLook()
{
    auto* tab = new QWidget;
    QVBoxLayout* layout = tabLayout(tab);
    m_look.finish = new ChoiceRow(QStringLiteral("Digits"), titles(allCases<DigitFinish>()), tab);
    m_look.outlineWidth = new SliderRow(QStringLiteral("Outline width"), 1, 12, 0.5, {}, tab);
    m_look.colour = new ChoiceRow(QStringLiteral("Colour"), titles(allCases<DigitColour>()), tab);
    m_look.top = new ColourRow(QStringLiteral("Digits (top)"), tab);
    m_look.bottom = new ColourRow(QStringLiteral("Digits (bottom)"), tab);
    m_look.solid = new ColourRow(QStringLiteral("Digits"), tab);
    m_look.wallpaperNote = ClockControls::note(QStringLiteral("Takes the colour of the wallpaper in use, and changes with it."), tab);
    m_look.opacity = new SliderRow(QStringLiteral("Opacity"), 0.1, 1, 0.05, &SliderRow::percent, tab);
    m_look.shadowStrength = new SliderRow(QStringLiteral("Shadow strength"), 0, 1, 0.05, &SliderRow::percent, tab);
    m_look.shadowBlur = new SliderRow(QStringLiteral("Shadow blur"), 0, 40, 1, {}, tab);
    for (QWidget* row : std::initializer_list<QWidget*>{m_look.finish, m_look.outlineWidth, m_look.colour, m_look.top, m_look.bottom,
                                                         m_look.solid, m_look.wallpaperNote, m_look.opacity, m_look.shadowStrength,
                                                         m_look.shadowBlur})
        layout->addWidget(row);
    layout->addStretch(1);

    connect(m_look.finish, &ChoiceRow::chosen, this, [this](int i) { edit([&](ClockStyle& s) { s.finish = allCases<DigitFinish>().value(i); }); });
    connect(m_look.outlineWidth, &SliderRow::edited, this, [this](double v) { edit([&](ClockStyle& s) { s.outlineWidth = v; }); });
    connect(m_look.colour, &ChoiceRow::chosen, this,
            [this](int i) { edit([&](ClockStyle& s) { ClockChoices::setDigitColour(s, allCases<DigitColour>().value(i)); }); });
    connect(m_look.top->well(), &ColourWell::picked, this, [this](const RGBA& c) { edit([&](ClockStyle& s) { s.timeColor = c; }); });
    connect(m_look.solid->well(), &ColourWell::picked, this, [this](const RGBA& c) { edit([&](ClockStyle& s) { s.timeColor = c; }); });
    connect(m_look.bottom->well(), &ColourWell::picked, this, [this](const RGBA& c) { edit([&](ClockStyle& s) { s.timeColorBottom = c; }); });
    connect(m_look.opacity, &SliderRow::edited, this, [this](double v) { edit([&](ClockStyle& s) { s.timeOpacity = v; }); });
    connect(m_look.shadowStrength, &SliderRow::edited, this, [this](double v) { edit([&](ClockStyle& s) { s.shadowOpacity = v; }); });
    connect(m_look.shadowBlur, &SliderRow::edited, this, [this](double v) { edit([&](ClockStyle& s) { s.shadowRadius = v; }); });
    return tab;
}

QWidget* ClockEditor::buildDate()
{
    auto* tab = new QWidget;
    QVBoxLayout* layout = tabLayout(tab);
    layout->addWidget(ClockControls::heading(QStringLiteral("Weekday and date"), tab));
    m_date.show = new ChoiceRow(QStringLiteral("Show"), titles(allCases<DateShown>()), tab);
    m_date.format = new MenuRow(QStringLiteral("Date format"), {}, tab);
    QStringList languages;
    for (const ClockChoices::Language& language : ClockChoices::languages())
        languages << language.title;
    m_date.language = new MenuRow(QStringLiteral("Language"), languages, tab);
    m_date.place = new ChoiceRow(QStringLiteral("Place"), titles(allCases<DatePlacement>()), tab);
    auto* placeNote = ClockControls::note(QStringLiteral("Split puts the weekday above and the date below"), tab);
    placeNote->setIndent(ClockControls::titleWidth + 12);
    m_date.space = new SliderRow(QStringLiteral("Space from the time"), -40, 60, 1, {}, tab);
    m_date.font = new FontPicker(tab);
    m_date.size = new SliderRow(QStringLiteral("Size"), 8, 48, 1, {}, tab);
    m_date.tracking = new SliderRow(QStringLiteral("Letter spacing"), 0, 12, 0.5, {}, tab);
    m_date.colour = new ColourRow(QStringLiteral("Colour"), tab);
    m_date.uppercase = new ToggleRow(QStringLiteral("Uppercase"), tab);
    m_date.align = new AlignmentRow(tab);
    for (QWidget* row : std::initializer_list<QWidget*>{m_date.show, m_date.format, m_date.language, m_date.place, placeNote, m_date.space})
        layout->addWidget(row);
    layout->addSpacing(10);
    layout->addWidget(ClockControls::heading(QStringLiteral("Look"), tab));
    for (QWidget* row : std::initializer_list<QWidget*>{m_date.font, m_date.size, m_date.tracking, m_date.colour, m_date.uppercase, m_date.align})
        layout->addWidget(row);
    layout->addStretch(1);

    connect(m_date.show, &ChoiceRow::chosen, this,
            [this](int i) { edit([&](ClockStyle& s) { ClockChoices::setDateShown(s, allCases<DateShown>().value(i)); }); });
    connect(m_date.format, &MenuRow::chosen, this,
            [this](int i) { edit([&](ClockStyle& s) { s.dateFormat = allCases<DateFormatOption>().value(i); }); });
    connect(m_date.language, &MenuRow::chosen, this,
            [this](int i) { edit([&](ClockStyle& s) { s.localeID = ClockChoices::languages().value(i).localeID; }); });
    connect(m_date.place, &ChoiceRow::chosen, this,
            [this](int i) { edit([&](ClockStyle& s) { s.datePlacement = allCases<DatePlacement>().value(i); }); });
    connect(m_date.space, &SliderRow::edited, this, [this](double v) { edit([&](ClockStyle& s) { s.lineSpacing = v; }); });
    connect(m_date.font, &FontPicker::edited, this, [this](const FontSpec& spec) {
        edit([&](ClockStyle& s) {
            const double size = s.labelFont.size;
            s.labelFont = spec;
            s.labelFont.size = size;
        });
    });
    connect(m_date.size, &SliderRow::edited, this, [this](double v) { edit([&](ClockStyle& s) { s.labelFont.size = v; }); });
    connect(m_date.tracking, &SliderRow::edited, this, [this](double v) { edit([&](ClockStyle& s) { s.labelTracking = v; }); });
    connect(m_date.colour->well(), &ColourWell::picked, this, [this](const RGBA& c) { edit([&](ClockStyle& s) { s.labelColor = c; }); });
    connect(m_date.uppercase, &ToggleRow::toggled, this, [this](bool on) { edit([&](ClockStyle& s) { s.uppercaseLabels = on; }); });
    connect(m_date.align, &AlignmentRow::edited, this,
            [this](const std::optional<TextAlign>& a) { edit([&](ClockStyle& s) { s.labelAlign = a; }); });
    return tab;
}

QWidget* ClockEditor::buildText()
{
    auto* tab = new QWidget;
    QVBoxLayout* layout = tabLayout(tab);
    auto* lineRow = new QWidget(tab);
    auto* lineLayout = new QHBoxLayout(lineRow);
    lineLayout->setContentsMargins(0, 4, 0, 4);
    lineLayout->setSpacing(12);
    QLabel* lineTitle = ClockControls::title(QStringLiteral("Your own line"), lineRow);
    lineTitle->setFixedWidth(ClockControls::titleWidth);
    lineLayout->addWidget(lineTitle);
    m_text.line = new QLineEdit(lineRow);
    m_text.line->setPlaceholderText(QStringLiteral("e.g. Stay curious"));
    m_text.line->setAccessibleName(QStringLiteral("Your own line"));
    lineLayout->addWidget(m_text.line, 1);
    m_text.clear = new QToolButton(lineRow);
    m_text.clear->setText(QStringLiteral("✕"));
    m_text.clear->setAutoRaise(true);
    m_text.clear->setToolTip(QStringLiteral("Clear your own line"));
    m_text.clear->setAccessibleName(QStringLiteral("Clear your own line"));
    lineLayout->addWidget(m_text.clear);
    m_text.place = new ChoiceRow(QStringLiteral("Place"), titles(allCases<LinePlacement>()), tab);
    m_text.space = new SliderRow(QStringLiteral("Space from the date"), -20, 40, 1, {}, tab);
    m_text.ownLook = new ToggleRow(QStringLiteral("Own look"), tab);
    m_text.ownLookOff = ClockControls::note(QStringLiteral("Uses the font and colour from the Date tab"), tab);
    m_text.ownLookOff->setIndent(ClockControls::titleWidth + 12);
    m_text.ownLookControls = new QWidget(tab);
    auto* lookLayout = new QVBoxLayout(m_text.ownLookControls);
    lookLayout->setContentsMargins(0, 0, 0, 0);
    lookLayout->setSpacing(2);
    m_text.size = new SliderRow(QStringLiteral("Size"), 8, 48, 1, {}, m_text.ownLookControls);
    m_text.tracking = new SliderRow(QStringLiteral("Letter spacing"), 0, 12, 0.5, {}, m_text.ownLookControls);
    m_text.colour = new ColourRow(QStringLiteral("Colour"), m_text.ownLookControls);
    m_text.uppercase = new ToggleRow(QStringLiteral("Uppercase"), m_text.ownLookControls);
    for (QWidget* row : std::initializer_list<QWidget*>{m_text.size, m_text.tracking, m_text.colour, m_text.uppercase})
        lookLayout->addWidget(row);
    m_text.align = new AlignmentRow(tab);
    for (QWidget* row : std::initializer_list<QWidget*>{lineRow, m_text.place, m_text.space, m_text.ownLook, m_text.ownLookOff,
                                                         m_text.ownLookControls, m_text.align})
        layout->addWidget(row);
    layout->addStretch(1);

    connect(m_text.line, &QLineEdit::textEdited, this, [this](const QString& text) { edit([&](ClockStyle& s) { s.ownLine = text; }); });
    connect(m_text.clear, &QToolButton::clicked, this, [this] { edit([](ClockStyle& s) { s.ownLine.clear(); }); });
    connect(m_text.place, &ChoiceRow::chosen, this,
            [this](int i) { edit([&](ClockStyle& s) { s.ownLinePlacement = allCases<LinePlacement>().value(i); }); });
    connect(m_text.space, &SliderRow::edited, this, [this](double v) { edit([&](ClockStyle& s) { s.textLineSpacing = v; }); });
    connect(m_text.ownLook, &ToggleRow::toggled, this, [this](bool on) {
        edit([&](ClockStyle& s) { s.ownLineLook = on ? std::optional<TextLook>(ClockChoices::ownLookFrom(s)) : std::nullopt; });
    });
    const auto editLook = [this](const std::function<void(TextLook&)>& change) {
        edit([&](ClockStyle& s) {
            TextLook look = s.ownLineLook.value_or(ClockChoices::ownLookFrom(s));
            change(look);
            s.ownLineLook = look;
        });
    };
    connect(m_text.size, &SliderRow::edited, this, [editLook](double v) { editLook([&](TextLook& l) { l.font.size = v; }); });
    connect(m_text.tracking, &SliderRow::edited, this, [editLook](double v) { editLook([&](TextLook& l) { l.tracking = v; }); });
    connect(m_text.colour->well(), &ColourWell::picked, this, [editLook](const RGBA& c) { editLook([&](TextLook& l) { l.color = c; }); });
    connect(m_text.uppercase, &ToggleRow::toggled, this, [editLook](bool on) { editLook([&](TextLook& l) { l.uppercase = on; }); });
    connect(m_text.align, &AlignmentRow::edited, this,
            [this](const std::optional<TextAlign>& a) { edit([&](ClockStyle& s) { s.ownLineAlign = a; }); });
    return tab;
}

QWidget* ClockEditor::buildLayout()
{
    auto* tab = new QWidget;
    QVBoxLayout* layout = tabLayout(tab);
    auto* positionRow = new QWidget(tab);
    auto* rowLayout = new QHBoxLayout(positionRow);
    rowLayout->setContentsMargins(0, 4, 0, 4);
    rowLayout->setSpacing(12);
    QLabel* positionTitle = ClockControls::title(QStringLiteral("Position"), positionRow);
    positionTitle->setFixedWidth(ClockControls::titleWidth);
    positionTitle->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    rowLayout->addWidget(positionTitle, 0, Qt::AlignTop);
    // The seven places laid out as they sit on the screen.
    auto* grid = new QGridLayout;
    grid->setSpacing(4);
    const QList<std::pair<int, int>> cells{{0, 0}, {0, 1}, {0, 2}, {1, 1}, {2, 0}, {2, 1}, {2, 2}};
    const QList<ScreenPosition> positions = allCases<ScreenPosition>();
    for (int i = 0; i < positions.size(); ++i) {
        auto* button = new QPushButton(title(positions[i]), positionRow);
        button->setCheckable(true);
        button->setAutoExclusive(true);
        button->setProperty("role", QStringLiteral("position"));
        button->setCursor(Qt::PointingHandCursor);
        button->setMinimumWidth(84);
        grid->addWidget(button, cells[i].first, cells[i].second);
        m_layout.positions << button;
        const ScreenPosition position = positions[i];
        connect(button, &QPushButton::clicked, this, [this, position] { edit([&](ClockStyle& s) { s.position = position; }); });
    }
    rowLayout->addLayout(grid);
    rowLayout->addStretch(1);
    m_layout.sideMargin = new SliderRow(QStringLiteral("Side margin"), 0, 600, 1, {}, tab);
    m_layout.verticalMargin = new SliderRow(QStringLiteral("Top / bottom margin"), 0, 600, 1, {}, tab);
    layout->addWidget(positionRow);
    layout->addWidget(m_layout.sideMargin);
    layout->addWidget(m_layout.verticalMargin);
    layout->addSpacing(8);
    layout->addWidget(ClockControls::note(QStringLiteral("The time lines up with the side it's on. The date and your own line line up "
                                                         "with the time on the Date and Text tabs."), tab));
    layout->addStretch(1);
    connect(m_layout.sideMargin, &SliderRow::edited, this, [this](double v) { edit([&](ClockStyle& s) { s.horizontalMargin = v; }); });
    connect(m_layout.verticalMargin, &SliderRow::edited, this, [this](double v) { edit([&](ClockStyle& s) { s.verticalMargin = v; }); });
    return tab;
}

void ClockEditor::sync()
{
    const ClockStyle& s = m_store.style();
    m_preview->setClockStyle(s);

    m_time.font->setFontSpec(s.timeFont);
    const auto widths = s.timeFont.widthRange();
    m_time.width->setVisible(widths.has_value());
    if (widths) {
        m_time.width->setRange(widths->first, widths->second);
        m_time.width->setValue(s.timeFont.width.value_or(100));
    }
    m_time.size->setValue(s.timeFont.size);
    m_time.arrangement->setCurrent(indexOf(s.arrangement));
    m_time.separator->setCurrent(indexOf(s.separator));
    m_time.seconds->setChecked(s.showSeconds);
    m_time.leadingZero->setChecked(s.leadingZero);

    const DigitColour colour = ClockChoices::digitColour(s);
    m_look.finish->setCurrent(indexOf(s.finish));
    m_look.outlineWidth->setVisible(s.finish == DigitFinish::outline);
    m_look.outlineWidth->setValue(s.outlineWidth);
    m_look.colour->setCurrent(indexOf(colour));
    m_look.top->setVisible(colour == DigitColour::gradient);
    m_look.bottom->setVisible(colour == DigitColour::gradient);
    m_look.solid->setVisible(colour == DigitColour::solid);
    m_look.wallpaperNote->setVisible(colour == DigitColour::wallpaper);
    m_look.top->well()->setColour(s.timeColor);
    m_look.solid->well()->setColour(s.timeColor);
    m_look.bottom->well()->setColour(s.timeColorBottom);
    m_look.opacity->setValue(s.timeOpacity);
    m_look.shadowStrength->setValue(s.shadowOpacity);
    m_look.shadowBlur->setValue(s.shadowRadius);

    m_date.show->setCurrent(indexOf(ClockChoices::dateShown(s)));
    QStringList samples;
    const QDateTime today = ClockView::currentDate();
    for (DateFormatOption format : allCases<DateFormatOption>())
        samples << ClockChoices::dateFormatSample(format, s.localeID, today);
    m_date.format->setChoices(samples);
    m_date.format->setCurrent(indexOf(s.dateFormat));
    int language = -1;
    for (int i = 0; i < ClockChoices::languages().size(); ++i) {
        if (ClockChoices::languages()[i].localeID == s.localeID)
            language = i;
    }
    m_date.language->setCurrent(language);
    m_date.place->setCurrent(indexOf(s.datePlacement));
    m_date.space->setValue(s.lineSpacing);
    m_date.font->setFontSpec(s.labelFont);
    m_date.size->setValue(s.labelFont.size);
    m_date.tracking->setValue(s.labelTracking);
    m_date.colour->well()->setColour(s.labelColor);
    m_date.uppercase->setChecked(s.uppercaseLabels);
    m_date.align->setAlign(s.labelAlign);

    if (m_text.line->text() != s.ownLine)
        m_text.line->setText(s.ownLine);
    m_text.place->setCurrent(indexOf(s.ownLinePlacement));
    m_text.space->setValue(s.textLineSpacing);
    // The gap is to the row next to the line: the time when the line is above, the date below.
    m_text.space->setTitle(s.ownLinePlacement == LinePlacement::above ? QStringLiteral("Space from the time") : QStringLiteral("Space from the date"));
    m_text.ownLook->setChecked(s.ownLineLook.has_value());
    m_text.ownLookOff->setVisible(!s.ownLineLook);
    m_text.ownLookControls->setVisible(s.ownLineLook.has_value());
    const TextLook look = s.ownLineLook.value_or(ClockChoices::ownLookFrom(s));
    m_text.size->setValue(look.font.size);
    m_text.tracking->setValue(look.tracking);
    m_text.colour->well()->setColour(look.color);
    m_text.uppercase->setChecked(look.uppercase);
    m_text.align->setAlign(s.ownLineAlign);

    for (int i = 0; i < m_layout.positions.size(); ++i)
        m_layout.positions[i]->setChecked(allCases<ScreenPosition>().value(i) == s.position);
    m_layout.sideMargin->setValue(s.horizontalMargin);
    m_layout.verticalMargin->setValue(s.verticalMargin);

    syncHeader();
}

void ClockEditor::syncHeader()
{
    const auto active = m_store.activePreset();
    const QString title = active ? QStringLiteral("Clock preset · ") + active->name : QStringLiteral("Custom clock");
    m_title->setText(title);
    m_title->setToolTip(title);
    const bool edited = m_store.activePresetEdited();
    m_savePreset->setVisible(edited);
    m_discard->setVisible(edited);
    m_saveAsNew->setVisible(edited);
    m_saveNew->setVisible(!active);
}

void ClockEditor::syncBackdrop()
{
    m_preview->setBackdrop(m_backdrop.image());
    m_preview->setCaption(m_backdrop.caption());
    m_previewOn->setText(m_backdrop.title() + QStringLiteral("  ▾"));
}

QMenu* ClockEditor::previewOnMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    QAction* hint = menu->addAction(QStringLiteral("Choose your lock screen wallpaper to preview the clock on it"));
    hint->setEnabled(false);
    QAction* live = menu->addAction(QStringLiteral("Live wallpaper"), this, [this] {
        m_backdropError->hide();
        m_backdrop.chooseLiveWallpaper();
    });
    live->setCheckable(true);
    live->setChecked(m_backdrop.kind() == BackdropChoice::Kind::liveWallpaper);
    if (LibraryStore* library = m_backdrop.library(); library && !library->items().isEmpty()) {
        menu->addSeparator();
        for (const Wallpaper& wallpaper : library->items()) {
            const QUuid id = wallpaper.id;
            QAction* action = menu->addAction(wallpaper.name, this, [this, id] {
                m_backdropError->hide();
                m_backdrop.chooseWallpaper(id);
            });
            action->setCheckable(true);
            action->setChecked(m_backdrop.wallpaperID() == id);
            const QImage thumbnail = BackdropImages::get(library->thumbnailPath(id), nullptr, {});
            if (!thumbnail.isNull())
                action->setIcon(QIcon(QPixmap::fromImage(thumbnail.scaled(48, 30, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation))));
        }
    }
    menu->addSeparator();
    QAction* picture = menu->addAction(QStringLiteral("Choose an image…"), this, &ClockEditor::openPictureChooser);
    picture->setCheckable(true);
    picture->setChecked(m_backdrop.kind() == BackdropChoice::Kind::picture);
    return menu;
}

void ClockEditor::openPictureChooser()
{
    auto* dialog = new QFileDialog(this, QStringLiteral("Choose an image"), QString(),
                                   QStringLiteral("Pictures (*.png *.jpg *.jpeg *.webp *.bmp *.gif *.tif *.tiff);;All files (*)"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& path) { choosePicture(path); });
    dialog->open();
}

bool ClockEditor::choosePicture(const QString& path)
{
    QString error;
    const bool chosen = m_backdrop.choosePicture(path, &error);
    m_backdropError->setText(error);
    m_backdropError->setVisible(!chosen);
    return chosen;
}
