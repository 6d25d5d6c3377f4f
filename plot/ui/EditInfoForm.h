#pragma once
// The "Edit Plot Info" dialog: the plot's texts (applied on OK), its five colours (applied at
// once, taken back by Cancel) and the display switches (applied at once, kept on Cancel).
#include "data/PlotDocument.h"
#include "plot/Renderer.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QFrame;
class QLineEdit;

class TEditInfoForm : public QDialog {
    Q_OBJECT
public:
    explicit TEditInfoForm(QWidget* parent = nullptr);

    // Fills the dialog from the document, shows it modally and applies or reverts on close.
    // Returns the dialog's result.
    int Open(vemo::PlotDocument& doc);

    // Asks the user for a colour, preset to the current one; nothing when cancelled. Tests
    // replace it; by default it is the system colour dialog.
    std::function<std::optional<vemo::Colour>(vemo::Colour current, QWidget* parent)>
        ChooseColour;

    QLineEdit *TitleText, *XAxisText, *YAxisText, *Info1Text, *Info2Text, *Info3Text;
    QCheckBox *ShowInfoChk, *ShowBackgroundChk, *ShowROCChk, *ShowSpeedChk;

    // The panel of colour i, in the order background, grid, scale, labels, info.
    QFrame* ColorPanel(int i) const { return panels_[static_cast<std::size_t>(i)]; }

    // The display switches as the check boxes hold them.
    vemo::PlotSwitches Switches() const;

signals:
    // A switch was clicked: it applies at once (Cancel does not undo it).
    void SwitchesChanged(const vemo::PlotSwitches& switches);
    // A colour was chosen, or the dialog closed: the plot is to be repainted.
    void PlotChanged();

private:
    void ColorPanelClick(int i);
    void FillPanel(int i, vemo::Colour colour);
    vemo::Colour& DocColour(int i);

    vemo::PlotDocument* doc_ = nullptr;
    std::array<QFrame*, 5> panels_{};
};

extern TEditInfoForm* EditInfoForm;
