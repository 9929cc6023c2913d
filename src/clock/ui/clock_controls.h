#pragma once

#include "clock/clock_font.h"
#include "clock/rgba.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <functional>
#include <optional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QSlider;
class ToggleSwitch;

// The rows the clock editor is built from: a title on the left, a control on the right. Every
// row shows a value set from code silently and signals only what the user changed.
namespace ClockControls {

// The width of the titles on the left of the rows.
inline constexpr int titleWidth = 132;

QLabel* title(const QString& text, QWidget* parent);
QLabel* note(const QString& text, QWidget* parent);
// Small capitals over a group of rows.
QLabel* heading(const QString& text, QWidget* parent);

} // namespace ClockControls

// A single line of text that ends in an ellipsis when it does not fit.
class ElidedLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return {24, QLabel::minimumSizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A slider over min...max in steps, with the value shown beside it.
class SliderRow : public QWidget
{
    Q_OBJECT
public:
    using Format = std::function<QString(double)>;
    SliderRow(const QString& title, double min, double max, double step, Format format, QWidget* parent = nullptr);

    void setTitle(const QString& title);
    QString title() const;
    void setRange(double min, double max);
    void setValue(double value);
    double value() const;
    double minimum() const { return m_min; }
    double maximum() const { return m_max; }
    double step() const { return m_step; }
    QSlider* slider() const { return m_slider; }
    QString valueText() const;

    static QString number(double value);
    static QString percent(double value);

signals:
    void edited(double value);

private:
    double m_min;
    double m_max;
    double m_step;
    Format m_format;
    QLabel* m_title = nullptr;
    QSlider* m_slider;
    QLabel* m_value;
    bool m_syncing = false;
};

// A row of exclusive choices shown side by side.
class ChoiceRow : public QWidget
{
    Q_OBJECT
public:
    ChoiceRow(const QString& title, const QStringList& choices, QWidget* parent = nullptr);

    void setCurrent(int index);
    int current() const;
    QPushButton* button(int index) const;
    int count() const;

signals:
    void chosen(int index);

private:
    QButtonGroup* m_group;
};

// A drop-down menu of choices.
class MenuRow : public QWidget
{
    Q_OBJECT
public:
    MenuRow(const QString& title, const QStringList& choices, QWidget* parent = nullptr);

    void setChoices(const QStringList& choices);
    void setCurrent(int index);
    int current() const;
    QComboBox* menu() const { return m_menu; }

signals:
    void chosen(int index);

private:
    QComboBox* m_menu;
    bool m_syncing = false;
};

class ToggleRow : public QWidget
{
    Q_OBJECT
public:
    explicit ToggleRow(const QString& title, QWidget* parent = nullptr);

    void setChecked(bool on);
    bool isChecked() const;
    ToggleSwitch* toggle() const { return m_toggle; }

signals:
    void toggled(bool on);

private:
    ToggleSwitch* m_toggle;
};

// A swatch that opens a colour chooser (with opacity).
class ColourWell : public QPushButton
{
    Q_OBJECT
public:
    explicit ColourWell(QWidget* parent = nullptr);

    RGBA colour() const { return m_colour; }
    void setColour(const RGBA& colour);
    // What choosing a colour in the chooser does.
    void choose(const RGBA& colour);

signals:
    void picked(const RGBA& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RGBA m_colour;
};

class ColourRow : public QWidget
{
    Q_OBJECT
public:
    explicit ColourRow(const QString& title, QWidget* parent = nullptr);
    ColourWell* well() const { return m_well; }

private:
    ColourWell* m_well;
};

// A font: the family in four groups (the system's designs, the families that ship with the app,
// well-known families, the user's own) and the weight. A family that is not installed stays
// listed, so the picker still shows what the style names.
class FontPicker : public QWidget
{
    Q_OBJECT
public:
    explicit FontPicker(QWidget* parent = nullptr);

    void setFontSpec(const FontSpec& spec);
    FontSpec fontSpec() const { return m_spec; }
    QComboBox* families() const { return m_families; }
    QComboBox* weights() const { return m_weights; }
    // Selects the entry of this family (empty: the design's system entry); false if not listed.
    bool chooseFamily(const QString& family, FontDesign design = FontDesign::standard);

    static QStringList groupTitles();

signals:
    void edited(const FontSpec& spec);

private:
    void fill();
    void pickedFamily(int index);

    QComboBox* m_families;
    QComboBox* m_weights;
    FontSpec m_spec;
    bool m_syncing = false;
};

// "Line up with the time": Left, Center, Right, or automatic (stored as absent).
class AlignmentRow : public QWidget
{
    Q_OBJECT
public:
    explicit AlignmentRow(QWidget* parent = nullptr);

    void setAlign(const std::optional<TextAlign>& align);
    std::optional<TextAlign> align() const;
    ChoiceRow* choices() const { return m_choices; }

signals:
    void edited(const std::optional<TextAlign>& align);

private:
    ChoiceRow* m_choices;
};
