#pragma once

#include "app/ensembles_model.h"
#include "library/ensemble_changing.h"

#include <QFrame>

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;

// "Change automatically": never, every morning, or with light and dark mode, with the explanation
// of the chosen behaviour and, for light and dark, the two ensemble pickers.
class ChangeEnsembleBox : public QFrame
{
    Q_OBJECT
public:
    explicit ChangeEnsembleBox(EnsemblesModel& model, QWidget* parent = nullptr);

    void refresh();

    QRadioButton* choice(EnsembleChanging::Mode mode) const { return m_choices[int(mode)]; }
    QLabel* explanation() const { return m_explanation; }
    // The light (false) or dark (true) ensemble picker.
    QPushButton* picker(bool dark) const { return dark ? m_dark : m_light; }
    QWidget* pickers() const { return m_pickers; }

    static QString explanation(EnsembleChanging::Mode mode, int screens);

private:
    void fillPicker(QPushButton* picker, bool dark);

    EnsemblesModel& m_model;
    QRadioButton* m_choices[3];
    QLabel* m_explanation;
    QWidget* m_pickers;
    QPushButton* m_light;
    QPushButton* m_dark;
};
