#pragma once
// The "Recorded Data" page of the main window: the plot view with the zoom, pan and mouse
// mode controls in a column beside it, the active data set, and the buttons of the plot. The
// page runs its zoom, pan, crop, scale and dialog buttons; the mouse on the view is PlotMouse's;
// Print, Export, Save and Load are the main window's.
#include "data/ui/WidgetNameLists.h"
#include "plot/Interaction.h"

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class TPlotBox;

class DataPage : public QWidget {
    Q_OBJECT
public:
    explicit DataPage(QWidget* parent = nullptr);

    // Repaints the plot view.
    void RepaintPlot();

    // The selection of MouseGrp: 0 "Zoom", 1 "Climb", 2 "Peak".
    int MouseMode() const;

    // ActiveSetCombo as a data set name list, for PlotDocument::UseNameLists.
    vemo::NameList* ActiveSetNames() { return &activeSetNames_; }

    TPlotBox* PlotBox;
    QComboBox* ActiveSetCombo;
    QGroupBox* ZoomGrp;
    QPushButton* ZoomInBtn;
    QPushButton* ZoomOutBtn;
    QPushButton* ZoomResetBtn;
    QPushButton* ZoomCropBtn;
    QGroupBox* PanGrp;
    QPushButton* PanUpBtn;
    QPushButton* PanDnBtn;
    QPushButton* PanLtBtn;
    QPushButton* PanRtBtn;
    QGroupBox* MouseGrp;
    QButtonGroup* MouseButtons;
    QPushButton* PrintBtn;
    QPushButton* ExportBtn;
    QPushButton* SaveBtn;
    QPushButton* LoadBtn;
    QPushButton* ScaleBtn;
    QPushButton* PlotPropBtn;
    QPushButton* DataPropBtn;
    QCheckBox* ShowPointsChk;
    // The hidden option "Show Points", as ShowPointsChk sets it; the drawing does not use it.
    bool ShowPoints = false;

    // Each changes the document's view (or opens its dialog), then repaints.
    void ZoomInBtnClick();
    void ZoomOutBtnClick();
    void ZoomResetBtnClick();
    void ZoomCropBtnClick();
    void PanBtnClick(vemo::PanDirection direction);
    void ScaleBtnClick();
    void PlotPropBtnClick();
    void DataPropBtnClick();

    // The tool column without overlaps and the bar's buttons whole.
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceControls();
    // Changes the document's view (when there is a document), then repaints.
    void ChangeView(void (*change)(vemo::PlotDocument&));
    QWidget* buttonBar_;
    vemo::ComboNameList activeSetNames_{nullptr};
};
