// digitora's window: the axes, the points by hand and by colour, the curves.
#include "capture/ui/capturewindow.h"

#include "capture/axisfinder.h"
#include "capture/calibration.h"
#include "capture/tesseractreader.h"
#include "capture/colour.h"
#include "capture/curvefinder.h"
#include "capture/pointexport.h"
#include "capture/ui/curvelist.h"
#include "capture/ui/digitoraparts.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSpinBox>
#include <QStatusBar>

namespace calvero {

using namespace capture;
using digitora::ReferenceLabels;
using digitora::text;

namespace {

// The colour of the curve under a click: of the pixels around it, the one
// farthest from white paper, since a click rarely hits a thin line's middle.
Rgb colourNear(const PixelBuffer& picture, QPointF at)
{
    const Rgb paper{255, 255, 255};
    Rgb best = paper;
    double bestDistance = -1;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const int x = int(at.x()) + dx, y = int(at.y()) + dy;
            if (!picture.contains(x, y)) continue;
            const Rgb colour = rgbOf(picture.pixel(x, y));
            const double distance = colourDistance(colour, paper);
            if (distance > bestDistance) {
                bestDistance = distance;
                best = colour;
            }
        }
    return best;
}

} // namespace

// ---- axes -------------------------------------------------------------------

void CaptureWindow::startReferences()
{
    if (picture_.empty()) return showMessage(QStringLiteral("aprire prima l'immagine del grafico"));
    setTool(CaptureView::Tool::PlaceReference);
    placing_ = 0;
    refresh();
}

void CaptureWindow::readAxes()
{
    if (picture_.empty()) return showMessage(QStringLiteral("aprire prima l'immagine del grafico"));
    if (!textReader_) textReader_ = std::make_shared<TesseractReader>();
    PageAxes page = findPageAxes(picture_, *textReader_);
    if (page.axes.empty()) return showMessage(text(page.failure + ": indicare i riferimenti degli assi"));
    if (page.axes.size() == 1) return confirmAxes(page.axes.front());
    // Several charts: the next click inside one chooses it.
    setTool(CaptureView::Tool::AddPoint);
    showMessage(text(pageChartsMessage(page) + "; fare clic nel grafico da leggere"));
    chartsToChoose_ = std::move(page.axes);
}

void CaptureWindow::confirmAxes(const FoundAxes& found)
{
    if (found.rightY)
        showMessage(text("il grafico ha due assi y: i riferimenti sono quelli dell'asse di sinistra (" +
                         pointValueText(found.references.y.firstValue) + " - " + pointValueText(found.references.y.secondValue) +
                         "); per l'asse di destra correggerne i valori"));
    // The references found are shown while the user checks their values.
    setTool(CaptureView::Tool::AddPoint);
    const AxisReading* readings[2] = {&found.x, &found.y};
    const AxisReference* axes[2] = {&found.references.x, &found.references.y};
    std::array<ReadReference, 4> read;
    for (int axis = 0; axis < 2; ++axis)
        for (int end = 0; end < 2; ++end) {
            const std::size_t i = std::size_t(axis * 2 + end);
            const ReadTick& tick = end == 0 ? readings[axis]->first : readings[axis]->second;
            draftPoints_[i] = end == 0 ? axes[axis]->first : axes[axis]->second;
            draftValues_[i] = tick.value;
            read[i] = {QString::fromLatin1(ReferenceLabels[i]), text(pointValueText(tick.value)), tick.confidence};
        }
    checkingFound_ = true; // the drafts stay on the picture while the dialog is open
    refresh();
    const auto scale = [](AxisScale s) { return s == AxisScale::Logarithmic ? QStringLiteral("logaritmico") : QStringLiteral("lineare"); };
    const QString scales = QStringLiteral("asse x %1, asse y %2").arg(scale(found.x.scale), scale(found.y.scale));
    const std::optional<std::array<QString, 4>> answer = axesConfirmer_ ? axesConfirmer_(read, scales) : std::nullopt;
    checkingFound_ = false;
    if (!answer) return refresh(); // cancelled: the axes stay as they were
    AxesReferences references = found.references;
    double* values[4] = {&references.x.firstValue, &references.x.secondValue, &references.y.firstValue,
                         &references.y.secondValue};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::optional<double> value = digitora::typedNumber((*answer)[i]);
        if (!value) {
            showMessage(QStringLiteral("valore non numerico: %1").arg((*answer)[i]));
            return refresh();
        }
        *values[i] = *value;
    }
    applyReferences(references);
}

AxesReferences CaptureWindow::draftReferences() const
{
    AxesReferences references;
    AxisReference* axes[2] = {&references.x, &references.y};
    for (int axis = 0; axis < 2; ++axis) {
        axes[axis]->first = draftPoints_[std::size_t(axis * 2)].value_or(PixelPoint{});
        axes[axis]->second = draftPoints_[std::size_t(axis * 2 + 1)].value_or(PixelPoint{});
        axes[axis]->firstValue = draftValues_[std::size_t(axis * 2)];
        axes[axis]->secondValue = draftValues_[std::size_t(axis * 2 + 1)];
    }
    references.x.scale = logX_->isChecked() ? AxisScale::Logarithmic : AxisScale::Linear;
    references.y.scale = logY_->isChecked() ? AxisScale::Logarithmic : AxisScale::Linear;
    return references;
}

std::optional<QString> CaptureWindow::askValue(int which)
{
    const std::size_t i = std::size_t(which);
    const QString current = draftPoints_[i] ? text(pointValueText(draftValues_[i])) : QString();
    return valueAsker_ ? valueAsker_(QString::fromLatin1(ReferenceLabels[which]), current) : std::nullopt;
}

void CaptureWindow::referencePlaced(QPointF at)
{
    if (placing_ < 0) return;
    const std::size_t i = std::size_t(placing_);
    const auto earlierPoint = draftPoints_[i];
    const double earlierValue = draftValues_[i];
    draftPoints_[i] = pixelOf(at);
    refresh();
    const std::optional<QString> typed = askValue(placing_);
    if (!typed) { // cancelled: the axes stay as they were
        draftPoints_[i] = earlierPoint;
        setTool(CaptureView::Tool::AddPoint);
        return;
    }
    const std::optional<double> value = digitora::typedNumber(*typed);
    if (!value) {
        draftPoints_[i] = earlierPoint;
        showMessage(QStringLiteral("valore non numerico: %1").arg(*typed));
        refresh();
        return;
    }
    const QCheckBox* logarithmic = placing_ < 2 ? logX_ : logY_;
    if (logarithmic->isChecked() && !(*value > 0)) {
        draftPoints_[i] = earlierPoint;
        showMessage(QStringLiteral("sull'asse %1 logaritmico il valore deve essere maggiore di 0: %2")
                        .arg(placing_ < 2 ? 'x' : 'y')
                        .arg(*typed));
        refresh();
        return;
    }
    draftValues_[i] = *value;
    if (placing_ < 3) {
        ++placing_;
        refresh();
        return;
    }
    if (!applyReferences(draftReferences())) {
        // The last reference made the axes impossible: it is asked again.
        draftPoints_[i] = earlierPoint;
        draftValues_[i] = earlierValue;
        refresh();
        return;
    }
    placing_ = -1;
    statusBar()->clearMessage();
    setTool(CaptureView::Tool::AddPoint);
}

bool CaptureWindow::applyReferences(const AxesReferences& references)
{
    if (const std::optional<std::string> problem = document_.setAxes(references)) {
        showMessage(text(*problem));
        refresh();
        return false;
    }
    changed(true);
    return true;
}

void CaptureWindow::referenceMoved(int which, QPointF to)
{
    const std::size_t i = std::size_t(which);
    if (placing_ >= 0 || !document_.state().axes) {
        draftPoints_[i] = pixelOf(to);
        refresh();
        return;
    }
    const auto earlier = draftPoints_[i];
    draftPoints_[i] = pixelOf(to);
    if (!applyReferences(draftReferences())) {
        draftPoints_[i] = earlier;
        refresh();
    }
}

void CaptureWindow::scaleToggled()
{
    if (placing_ >= 0 || !document_.state().axes) return; // used when the references are complete
    applyReferences(draftReferences());
}

// ---- points -------------------------------------------------------------------

void CaptureWindow::pointAdded(QPointF at)
{
    if (!chartsToChoose_.empty()) {
        std::vector<ChartFrame> charts;
        for (const FoundAxes& a : chartsToChoose_) charts.push_back(a.chart);
        const std::optional<std::size_t> chosen = chartAt(charts, pixelOf(at));
        if (!chosen) return showMessage(QStringLiteral("fare clic dentro uno dei grafici"));
        const FoundAxes found = chartsToChoose_[*chosen];
        chartsToChoose_.clear();
        return confirmAxes(found);
    }
    if (document_.curves().empty()) return showMessage(QStringLiteral("nessuna curva: premere «nuova curva»"));
    changed(document_.addPoint(std::size_t(currentCurve_), pixelOf(at)));
}

void CaptureWindow::pointMoved(int index, QPointF to)
{
    changed(document_.movePoint(std::size_t(currentCurve_), std::size_t(index), pixelOf(to)));
}

void CaptureWindow::pointRemoved(int index) { changed(document_.removePoint(std::size_t(currentCurve_), std::size_t(index))); }

void CaptureWindow::exclusionDrawn(QRectF r)
{
    changed(document_.addExclusion(PixelRect{r.left(), r.top(), r.width(), r.height()}));
}

void CaptureWindow::colourPicked(QPointF at)
{
    const Rgb colour = colourNear(picture_, at);
    pickedColour_ = colour;
    colourSeed_ = pixelOf(at);
    QPalette swatch = colourSwatch_->palette();
    swatch.setColor(QPalette::Window, qColourOf(colour));
    swatch.setColor(QPalette::WindowText, readableTextOn(qColourOf(colour)));
    colourSwatch_->setPalette(swatch);
    colourSwatch_->setText(text(colourText(colour)));
    findByColour();
}

void CaptureWindow::findByColour()
{
    if (picture_.empty()) return showMessage(QStringLiteral("aprire prima l'immagine del grafico"));
    const std::optional<AxisCalibration> calibration = document_.calibration();
    if (!calibration) return showMessage(QStringLiteral("prima di cercare una curva si devono tarare gli assi"));
    if (!pickedColour_) return showMessage(QStringLiteral("fare prima clic sulla curva con «prendi il colore della curva»"));
    if (document_.curves().empty()) return showMessage(QStringLiteral("nessuna curva: premere «nuova curva»"));
    CurveSearch search;
    search.colour = *pickedColour_;
    if (tolerance_->value() >= MinTolerance) search.tolerance = tolerance_->value();
    search.pointCount = pointCount_->value();
    search.seed = colourSeed_;
    search.markers = markers_->isChecked();
    search.exclusions = document_.state().exclusions;
    const Checked<FoundCurve> found = findCurve(picture_, *calibration, search);
    if (!found) return showMessage(text(found.failure()));
    QStringList doubts;
    for (const std::string& doubt : found->doubts) doubts << QStringLiteral("attenzione: ") + text(doubt);
    QStringList notes;
    for (const std::string& note : found->notes) notes << text(note);
    statusBar()->showMessage(notes.join(QStringLiteral("; ")));
    if (found->points.empty()) return showMessage(doubts.join('\n'));
    changed(document_.replacePoints(std::size_t(currentCurve_), found->pixels));
    if (!doubts.isEmpty()) showMessage(doubts.join('\n') + QStringLiteral("\ncontrollare i punti o indicarne uno sulla curva"));
}

void CaptureWindow::cursorMoved(QPointF at)
{
    if (const std::optional<AxisCalibration> calibration = document_.calibration()) {
        const UnitPoint units = calibration->toUnits(pixelOf(at));
        cursorLabel_->setText(QStringLiteral("x = %1   y = %2").arg(text(pointValueText(units.x)), text(pointValueText(units.y))));
        return;
    }
    cursorLabel_->setText(QStringLiteral("punto dell'immagine: %1, %2").arg(int(at.x())).arg(int(at.y())));
}

void CaptureWindow::undo() { changed(document_.undo()); }
void CaptureWindow::redo() { changed(document_.redo()); }

void CaptureWindow::addCurve()
{
    currentCurve_ = int(document_.addCurve(digitora::newCurve(document_.curves().size())));
    changed(true);
}

void CaptureWindow::removeCurve()
{
    if (document_.curves().size() <= 1) return showMessage(QStringLiteral("deve restare almeno una curva"));
    changed(document_.removeCurve(std::size_t(currentCurve_)));
}

} // namespace calvero
