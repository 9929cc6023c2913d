#pragma once

#include "app/ensembles_model.h"

#include <QHash>
#include <QWidget>

#include <optional>

class EnsembleCard;
class FlowGrid;
class QLabel;
class QLineEdit;
class QPushButton;

// The editor that takes the hero's place: the title, the name field, the three slot rows with
// their hints, and the step picker whose tiles fill the slot being chosen.
class EnsembleEditor : public QWidget
{
    Q_OBJECT
public:
    EnsembleEditor(EnsemblesModel& model, QWidget* parent = nullptr);

    // Reads everything again from the model (a new ensemble, another slot, a store change).
    void refresh();

    QLabel* title() const { return m_title; }
    QLineEdit* nameField() const { return m_name; }
    QPushButton* slotRow(EnsemblesModel::Slot slot) const { return m_rows[int(slot)]; }
    QLabel* slotHint(EnsemblesModel::Slot slot) const { return m_hints[int(slot)]; }
    QLabel* slotValue(EnsemblesModel::Slot slot) const { return m_values[int(slot)]; }
    QLabel* pickerStep() const { return m_step; }
    QLabel* pickerTitle() const { return m_pickerTitle; }
    QList<EnsembleCard*> tiles() const;
    // The tile with this name, or null.
    EnsembleCard* tile(const QString& name) const;
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* doneButton() const { return m_done; }

private:
    struct Choice
    {
        bool noChange = false;
        std::optional<QUuid> id; // none: "Your current clock" / "Your current bar"
    };
    void rebuildTiles();
    void chooseTile(EnsembleCard* tile);

    EnsemblesModel& m_model;
    bool m_tilesQueued = false;
    QLabel* m_title;
    QLineEdit* m_name;
    QPushButton* m_rows[3];
    QLabel* m_values[3];
    QLabel* m_hints[3];
    QLabel* m_step;
    QLabel* m_pickerTitle;
    FlowGrid* m_grid;
    QHash<EnsembleCard*, Choice> m_choices;
    QPushButton* m_cancel;
    QPushButton* m_done;
    std::optional<QUuid> m_shownFor; // the ensemble the name field was filled for
    std::optional<EnsemblesModel::Slot> m_tilesFor;
};
