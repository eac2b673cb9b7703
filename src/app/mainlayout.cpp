#include "app/mainlayout.h"

namespace calvero {

MainWindowLayout mainWindowLayout(int W, int H)
{
    MainWindowLayout l;
    l.clockPanel = {2, part(0.25, H), part(0.45, W), part(0.05, H)};
    l.saveButton = {2, l.clockPanel.bottom() + 5, part(0.22, W), part(0.05, H)};
    const int column = l.saveButton.width;
    l.readButton = {2, l.saveButton.bottom() + 5, column, part(0.05, H)};
    l.pointEntryButton = {2, l.readButton.bottom() + 5, column, part(0.07, H)};
    l.examplesButton = {2, l.pointEntryButton.bottom() + 5, column, part(0.07, H)};
    l.clearButton = {2, l.examplesButton.bottom() + 5, column, part(0.07, H)};
    l.calculateButton = {2, l.clearButton.bottom(), column, part(0.09, H)};
    const ControlRect& calculate = l.calculateButton;
    l.exitButton = {calculate.right() + 5, calculate.top, calculate.width, calculate.height};
    l.kindGroup = {part(0.1, W) + l.clockPanel.right(), l.clockPanel.top, part(0.35, W), part(0.35, H)};
    l.initialTemperatureLabel = {l.kindGroup.left, l.kindGroup.bottom() + 5, part(0.15, W), part(0.05, H)};
    const ControlRect& label = l.initialTemperatureLabel;
    l.finalTemperatureLabel = {label.left, label.bottom() + 5, label.width, label.height};
    l.degreeLabel = {label.left, l.finalTemperatureLabel.bottom() + 5, label.width, label.height};
    l.degreeBox = {l.degreeLabel.right() + 5, l.degreeLabel.top, label.width, label.height};
    l.initialTemperatureField = {label.right() + 5, label.top, label.width, label.height};
    l.finalTemperatureField = {l.finalTemperatureLabel.right() + 5, l.finalTemperatureLabel.top,
                               l.initialTemperatureField.width, l.initialTemperatureField.height};
    l.documentationButton = {l.saveButton.right() + 5, l.saveButton.top, column, l.saveButton.height};
    l.captureButton = {l.documentationButton.left, l.documentationButton.bottom() + 5, column, l.saveButton.height};
    l.webSiteButton = {l.captureButton.left, l.captureButton.top + l.documentationButton.height + 5, column,
                       l.saveButton.height};
    return l;
}

} // namespace calvero
