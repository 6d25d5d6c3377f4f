#pragma once
// The "Recorded Data" page of the main window: the plot view with the zoom, pan and mouse
// mode controls in a column beside it, the active data set, and the buttons of the plot.
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

    // Opens the Graph Scale dialog for the document and repaints.
    void ScaleBtnClick();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceControls();
    QWidget* buttonBar_;
};
