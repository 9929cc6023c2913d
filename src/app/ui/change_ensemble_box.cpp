#include "app/ui/change_ensemble_box.h"

#include "app/ui/app_style.h"
#include "app/ui/symbol_icon.h"
#include "brand/brand.h"
#include "brand/brand_font.h"
#include "library/library_store.h"
#include "platform/desktop_words.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString choiceTitle(EnsembleChanging::Mode mode)
{
    switch (mode) {
    case EnsembleChanging::Mode::never: return QStringLiteral("Never");
    case EnsembleChanging::Mode::daily: return QStringLiteral("Every day");
    case EnsembleChanging::Mode::appearance: return QStringLiteral("With light and dark mode");
    }
    return {};
}

} // namespace

QString ChangeEnsembleBox::explanation(EnsembleChanging::Mode mode, int screens)
{
    QString text;
    switch (mode) {
    case EnsembleChanging::Mode::never:
        return QStringLiteral("Stays on the ensemble you pick.");
    case EnsembleChanging::Mode::daily:
        text = QStringLiteral("A new ensemble each morning, shuffled: every ensemble comes up once before any comes back.");
        break;
    case EnsembleChanging::Mode::appearance: {
        text = DesktopWords::current().fill(u"Follows {systemName}, Auto included. An ensemble you pick yourself stays until {systemName} switches.");
        break;
    }
    }
    if (screens >= 2)
        text += QStringLiteral("\nChanges the main display, and other displays that are the same as main. A display with its own ensemble keeps it.");
    return text;
}

ChangeEnsembleBox::ChangeEnsembleBox(EnsemblesModel& model, QWidget* parent)
    : QFrame(parent)
    , m_model(model)
{
    AppStyle::mark(this, "box");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(8);
    auto* title = new QLabel(QStringLiteral("Change automatically"), this);
    title->setFont(AppStyle::uiFont(10.5, QFont::DemiBold));
    layout->addWidget(title);

    auto* choices = new QHBoxLayout;
    choices->setSpacing(18);
    auto* group = new QButtonGroup(this);
    for (EnsembleChanging::Mode mode : {EnsembleChanging::Mode::never, EnsembleChanging::Mode::daily, EnsembleChanging::Mode::appearance}) {
        auto* button = new QRadioButton(choiceTitle(mode), this);
        group->addButton(button, int(mode));
        choices->addWidget(button);
        m_choices[int(mode)] = button;
        connect(button, &QRadioButton::clicked, this, [this, mode] { m_model.library().setChanging(mode); });
    }
    choices->addStretch(1);
    layout->addLayout(choices);

    m_explanation = new QLabel(this);
    m_explanation->setWordWrap(true);
    AppStyle::mark(m_explanation, "muted");
    layout->addWidget(m_explanation);

    m_pickers = new QWidget(this);
    auto* pickers = new QHBoxLayout(m_pickers);
    pickers->setContentsMargins(0, 4, 0, 0);
    pickers->setSpacing(16);
    for (bool dark : {false, true}) {
        auto* column = new QVBoxLayout;
        auto* label = new QLabel(dark ? QStringLiteral("☾ DARK MODE") : QStringLiteral("☀ LIGHT MODE"), m_pickers);
        label->setFont(BrandFont::mono(8.5));
        AppStyle::mark(label, "muted");
        auto* picker = new QPushButton(m_pickers);
        picker->setIcon(SymbolIcon::make(QStringLiteral("chevron.down"), Brand::muted()));
        picker->setLayoutDirection(Qt::RightToLeft);
        picker->setMinimumWidth(200);
        picker->setAccessibleName(label->text());
        picker->setMenu(new QMenu(picker));
        column->addWidget(label);
        column->addWidget(picker);
        pickers->addLayout(column);
        (dark ? m_dark : m_light) = picker;
    }
    pickers->addStretch(1);
    layout->addWidget(m_pickers);
}

void ChangeEnsembleBox::fillPicker(QPushButton* picker, bool dark)
{
    const EnsembleChanging& changing = m_model.library().ensembleChanging();
    const std::optional<QUuid> chosen = dark ? changing.darkEnsemble : changing.lightEnsemble;
    const std::optional<Ensemble> ensemble = chosen ? m_model.library().ensemble(*chosen) : std::nullopt;
    picker->setText(ensemble ? ensemble->name : QStringLiteral("Choose an ensemble"));
    QMenu* menu = picker->menu();
    menu->clear();
    for (const Ensemble& e : m_model.library().ensembles()) {
        QAction* action = menu->addAction(e.name);
        action->setCheckable(true);
        action->setChecked(chosen == e.id);
        const QUuid id = e.id;
        connect(action, &QAction::triggered, this, [this, id, dark] { m_model.library().setEnsembleForDark(id, dark); });
    }
}

void ChangeEnsembleBox::refresh()
{
    const EnsembleChanging::Mode mode = m_model.library().ensembleChanging().mode;
    for (int i = 0; i < 3; ++i)
        m_choices[i]->setChecked(i == int(mode));
    m_explanation->setText(explanation(mode, int(m_model.screens().size())));
    m_pickers->setVisible(mode == EnsembleChanging::Mode::appearance);
    if (mode == EnsembleChanging::Mode::appearance) {
        fillPicker(m_light, false);
        fillPicker(m_dark, true);
    }
}
