// digitora's window: its controls and menus, and what it shows of the capture.
#include "capture/ui/capturewindow.h"

#include "capture/curvefinder.h"
#include "capture/sessionfile.h"
#include "capture/ui/curvelist.h"
#include "capture/ui/digitoraparts.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace calvero {

using namespace capture;
using digitora::ReferenceLabels;
using digitora::text;

namespace {

const char* const ReferencePrompts[4] = {
    "fare clic sul primo punto di riferimento dell'asse x", "fare clic sul secondo punto di riferimento dell'asse x",
    "fare clic sul primo punto di riferimento dell'asse y", "fare clic sul secondo punto di riferimento dell'asse y"};

} // namespace

CaptureWindow::CaptureWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("digitora"));
    setWindowTitle(QStringLiteral("digitora - cattura punti dal grafico"));
    setAcceptDrops(true);
    new RoomKeeper(this, [this](const ScreenRoom& room) { layOutForRoom(room); }, RoomKeeper::Showing::ByKeeper);
    createControls();
    createActions();

    messageSink_ = [this](const QString& message) { QMessageBox::warning(this, QStringLiteral("digitora"), message); };
    fileChooser_ = [this](FileRequest request) -> QString {
        switch (request) {
        case FileRequest::OpenPicture:
            return QFileDialog::getOpenFileName(
                this, QStringLiteral("apre l'immagine del grafico"), QString(),
                QStringLiteral("immagini e PDF (*.png *.jpg *.jpeg *.bmp *.gif *.tif *.tiff *.webp *.pdf);;tutti i file (*)"));
        case FileRequest::OpenSession:
            return QFileDialog::getOpenFileName(this, QStringLiteral("apre una sessione di cattura"), QString(),
                                                QStringLiteral("sessioni (*%1)").arg(SessionExtension));
        case FileRequest::SaveSession:
            return QFileDialog::getSaveFileName(this, QStringLiteral("salva la sessione di cattura"), QString(),
                                                QStringLiteral("sessioni (*%1)").arg(SessionExtension));
        case FileRequest::SavePoints:
            return QFileDialog::getSaveFileName(this, QStringLiteral("scrive i punti per CALVERO1"), QString(),
                                                QStringLiteral("punti (*.txt)"));
        }
        return {};
    };
    valueAsker_ = [this](const QString& label, const QString& current) -> std::optional<QString> {
        bool ok = false;
        const QString typed = QInputDialog::getText(this, QStringLiteral("valore di riferimento"),
                                                    QStringLiteral("valore del punto %1 sull'asse:").arg(label),
                                                    QLineEdit::Normal, current, &ok);
        if (!ok) return std::nullopt;
        return typed;
    };
    pageAsker_ = [this](int pageCount) -> std::optional<int> {
        bool ok = false;
        const int page = QInputDialog::getInt(this, QStringLiteral("pagina del PDF"),
                                              QStringLiteral("pagina da leggere (da 1 a %1):").arg(pageCount), 1, 1,
                                              pageCount, 1, &ok);
        if (!ok) return std::nullopt;
        return page;
    };
    resolutionAsker_ = [this](double current) -> std::optional<double> {
        bool ok = false;
        const double dpi = QInputDialog::getDouble(
            this, QStringLiteral("risoluzione della pagina"),
            QStringLiteral("punti per pollice (da %1 a %2); più punti, linee più nitide ma più memoria:")
                .arg(MinDpi)
                .arg(MaxDpi),
            current, MinDpi, MaxDpi, 0, &ok);
        if (!ok) return std::nullopt;
        return dpi;
    };
    axesConfirmer_ = [this](const std::array<ReadReference, 4>& read,
                            const QString& scales) -> std::optional<std::array<QString, 4>> {
        AxesConfirmDialog dialog(read, scales, this);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.values();
    };
    confirmer_ = [this](const QString& question) {
        return QMessageBox::question(this, QStringLiteral("digitora"), question) == QMessageBox::Yes;
    };
    refresh();
}

void CaptureWindow::layOutForRoom(const ScreenRoom& room) { placeInRoom(this, room, QSize(1200, 800)); }

void CaptureWindow::createControls()
{
    view_ = new CaptureView;
    scroll_ = new QScrollArea;
    scroll_->setObjectName(QStringLiteral("ScrollBox1"));
    scroll_->setWidget(view_);
    scroll_->setBackgroundRole(QPalette::Dark);

    auto* splitter = new QSplitter;
    splitter->addWidget(scroll_);
    splitter->addWidget(createSidePanel());
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    setCentralWidget(splitter);

    cursorLabel_ = new QLabel;
    cursorLabel_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addPermanentWidget(cursorLabel_);

    connect(view_, &CaptureView::pointAdded, this, &CaptureWindow::pointAdded);
    connect(view_, &CaptureView::pointMoved, this, &CaptureWindow::pointMoved);
    connect(view_, &CaptureView::pointRemoved, this, &CaptureWindow::pointRemoved);
    connect(view_, &CaptureView::referencePlaced, this, &CaptureWindow::referencePlaced);
    connect(view_, &CaptureView::referenceMoved, this, &CaptureWindow::referenceMoved);
    connect(view_, &CaptureView::colourPicked, this, &CaptureWindow::colourPicked);
    connect(view_, &CaptureView::exclusionDrawn, this, &CaptureWindow::exclusionDrawn);
    connect(view_, &CaptureView::cursorMoved, this, &CaptureWindow::cursorMoved);
    connect(view_, &CaptureView::cursorLeft, cursorLabel_, &QLabel::clear);
}

QWidget* CaptureWindow::createSidePanel()
{
    auto* panel = new QWidget;
    auto* column = new QVBoxLayout(panel);
    auto button = [panel](const char* caption, QStyle::StandardPixmap icon = QStyle::SP_CustomBase) {
        auto* b = icon == QStyle::SP_CustomBase ? new QPushButton(QString::fromUtf8(caption), panel)
                                                : new QPushButton(panel->style()->standardIcon(icon), QString::fromUtf8(caption), panel);
        b->setAutoDefault(false);
        return b;
    };

    auto* axes = new QGroupBox(QStringLiteral("ASSI"));
    auto* axesColumn = new QVBoxLayout(axes);
    QPushButton* references = button("&riferimenti degli assi");
    references->setToolTip(QStringLiteral("due punti sull'asse x e due sull'asse y, con i loro valori"));
    logX_ = new QCheckBox(QStringLiteral("x logaritmico"));
    logY_ = new QCheckBox(QStringLiteral("y logaritmico"));
    axesState_ = new QLabel;
    axesState_->setWordWrap(true);
    auto* scales = new QHBoxLayout;
    scales->addWidget(logX_);
    scales->addWidget(logY_);
    QPushButton* readAxesButton = button("&leggi gli assi dai numeri");
    readAxesButton->setToolTip(QStringLiteral("trova la cornice e legge i numeri delle tacche; i valori letti si "
                                              "confermano o correggono"));
    axesColumn->addWidget(readAxesButton);
    axesColumn->addWidget(references);
    axesColumn->addLayout(scales);
    connect(readAxesButton, &QPushButton::clicked, this, &CaptureWindow::readAxes);
    axesColumn->addWidget(axesState_);
    connect(references, &QPushButton::clicked, this, &CaptureWindow::startReferences);
    connect(logX_, &QCheckBox::toggled, this, &CaptureWindow::scaleToggled);
    connect(logY_, &QCheckBox::toggled, this, &CaptureWindow::scaleToggled);

    auto* curves = new QGroupBox(QStringLiteral("CURVE"));
    auto* curvesColumn = new QVBoxLayout(curves);
    curveList_ = new CurveList;
    auto* curveButtons = new QHBoxLayout;
    QPushButton* newCurve = button("nuova curva");
    QPushButton* dropCurve = button("elimina curva");
    curveButtons->addWidget(newCurve);
    curveButtons->addWidget(dropCurve);
    curvesColumn->addWidget(curveList_);
    curvesColumn->addLayout(curveButtons);
    connect(newCurve, &QPushButton::clicked, this, &CaptureWindow::addCurve);
    connect(dropCurve, &QPushButton::clicked, this, &CaptureWindow::removeCurve);
    connect(curveList_, &QTableWidget::currentCellChanged, this, [this](int row) { setCurrentCurve(row); });
    connect(curveList_, &CurveList::renamed, this, [this](int curve, const QString& name) {
        if (name.trimmed().isEmpty()) {
            showMessage(QStringLiteral("il nome della curva non può essere vuoto"));
            refresh();
            return;
        }
        changed(document_.renameCurve(std::size_t(curve), name.trimmed().toStdString()));
    });
    connect(curveList_, &CurveList::parameterTyped, this, [this](int curve, const QString& typed) {
        if (typed.isEmpty()) {
            changed(document_.setParameter(std::size_t(curve), std::nullopt));
            return;
        }
        const std::optional<double> value = digitora::typedNumber(typed);
        if (!value) {
            showMessage(QStringLiteral("parametro non numerico: %1").arg(typed));
            refresh();
            return;
        }
        changed(document_.setParameter(std::size_t(curve), value));
    });
    connect(curveList_, &CurveList::colourAsked, this, [this](int curve) {
        if (curve < 0 || curve >= int(document_.curves().size())) return;
        const QColor chosen = QColorDialog::getColor(qColourOf(document_.curves()[std::size_t(curve)].marker), this,
                                                     QStringLiteral("colore dei punti della curva"));
        if (chosen.isValid()) changed(document_.setMarker(std::size_t(curve), rgbOf(chosen)));
    });

    auto* tools = new QGroupBox(QStringLiteral("CLIC SULL'IMMAGINE"));
    auto* toolsColumn = new QVBoxLayout(tools);
    handButton_ = button("punti a &mano");
    handButton_->setToolTip(QStringLiteral("clic: aggiunge un punto; trascinare: sposta; tasto destro o Canc: toglie"));
    pickButton_ = button("prendi il &colore della curva");
    pickButton_->setToolTip(QStringLiteral("clic su una curva: ne prende il colore e vi dispone i punti"));
    exclusionButton_ = button("&zona esclusa");
    exclusionButton_->setToolTip(QStringLiteral("trascinare un rettangolo che la ricerca per colore non tocca"));
    auto* toolGroup = new QButtonGroup(this);
    for (QPushButton* b : {handButton_, pickButton_, exclusionButton_}) {
        b->setCheckable(true);
        toolGroup->addButton(b);
        toolsColumn->addWidget(b);
    }
    handButton_->setChecked(true);
    connect(handButton_, &QPushButton::clicked, this, [this] { setTool(CaptureView::Tool::AddPoint); });
    connect(pickButton_, &QPushButton::clicked, this, [this] { setTool(CaptureView::Tool::PickColour); });
    connect(exclusionButton_, &QPushButton::clicked, this, [this] { setTool(CaptureView::Tool::DrawExclusion); });

    auto* search = new QGroupBox(QStringLiteral("PUNTI PER COLORE"));
    auto* form = new QFormLayout(search);
    colourSwatch_ = new QLabel(QStringLiteral("nessuno"));
    colourSwatch_->setAutoFillBackground(true);
    colourSwatch_->setAlignment(Qt::AlignCenter);
    tolerance_ = new QDoubleSpinBox;
    tolerance_->setObjectName(QStringLiteral("toleranceSpin"));
    // Below the least tolerance, "automatica": the search chooses it.
    tolerance_->setRange(MinTolerance - 1, MaxTolerance);
    tolerance_->setDecimals(0);
    tolerance_->setSpecialValueText(QStringLiteral("automatica"));
    tolerance_->setValue(MinTolerance - 1);
    tolerance_->setToolTip(QStringLiteral("distanza dal colore preso (da 0 a 100, il nero dal bianco); automatica: "
                                          "la più larga che non prende gli altri colori della pagina"));
    pointCount_ = new QSpinBox;
    pointCount_->setObjectName(QStringLiteral("pointCountSpin"));
    pointCount_->setRange(MinPointCount, MaxPointCount);
    pointCount_->setValue(DefaultPointCount);
    markers_ = new QCheckBox(QStringLiteral("indicatori"));
    markers_->setToolTip(QStringLiteral("i punti sono i centri degli indicatori del colore (cerchi, quadrati, triangoli), non una linea"));
    QPushButton* find = button("&trova i punti");
    QPushButton* dropArea = button("togli l'ultima zona esclusa");
    form->addRow(QStringLiteral("colore"), colourSwatch_);
    form->addRow(QStringLiteral("tolleranza"), tolerance_);
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(pointCount_);
    countRow->addWidget(markers_);
    form->addRow(QStringLiteral("numero di punti"), countRow);
    form->addRow(find);
    form->addRow(dropArea);
    connect(find, &QPushButton::clicked, this, &CaptureWindow::findByColour);
    connect(dropArea, &QPushButton::clicked, this, [this] {
        const std::size_t areas = document_.state().exclusions.size();
        if (areas == 0) return showMessage(QStringLiteral("nessuna zona esclusa"));
        changed(document_.removeExclusion(areas - 1));
    });

    QPushButton* savePointsButton = button("&Salva i punti per CALVERO1", QStyle::SP_DialogSaveButton);
    QPushButton* copyButton = button("c&opia i punti negli appunti");
    QPushButton* copyCurveButton = button("solo la curva scelta");
    copyCurveButton->setToolTip(QStringLiteral("copia negli appunti i punti della sola curva scelta nell'elenco"));
    QPushButton* exitButton = button("&Uscita", QStyle::SP_DialogCloseButton);
    connect(savePointsButton, &QPushButton::clicked, this, &CaptureWindow::savePoints);
    connect(copyButton, &QPushButton::clicked, this, &CaptureWindow::copyPoints);
    connect(copyCurveButton, &QPushButton::clicked, this, &CaptureWindow::copyCurvePoints);
    connect(exitButton, &QPushButton::clicked, this, &QWidget::close);

    // The groups scroll where the screen is too low for them (at 1024 x 768
    // the last few rows, at 800 x 600 more); the buttons under them and the
    // status bar stay in view.
    auto* groups = new QWidget;
    auto* groupColumn = new QVBoxLayout(groups);
    groupColumn->setContentsMargins(0, 0, 0, 0);
    for (QWidget* part : std::initializer_list<QWidget*>{axes, curves, tools, search}) groupColumn->addWidget(part);
    groupColumn->addStretch();
    auto* groupScroll = new QScrollArea;
    groupScroll->setWidget(groups);
    groupScroll->setWidgetResizable(true);
    groupScroll->setFrameShape(QFrame::NoFrame);
    groupScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    column->addWidget(groupScroll, 1);
    auto* copyRow = new QHBoxLayout;
    copyRow->addWidget(copyButton);
    copyRow->addWidget(copyCurveButton);
    column->addWidget(savePointsButton);
    column->addLayout(copyRow);
    column->addWidget(exitButton);
    panel->setMinimumWidth(300);
    panel->setMaximumWidth(380);
    return panel;
}

void CaptureWindow::createActions()
{
    auto action = [this](QMenu* menu, const QString& caption, QKeySequence keys, auto slot) {
        QAction* a = menu->addAction(caption);
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    action(file, QStringLiteral("&Apri immagine o PDF..."), QKeySequence::Open, [this] { openPicture({}); });
    action(file, QStringLiteral("&Incolla immagine"), QKeySequence::Paste, [this] { pastePicture(); });
    file->addSeparator();
    action(file, QStringLiteral("Apri &sessione..."), QKeySequence(), [this] { openSession(); });
    action(file, QStringLiteral("Sal&va sessione..."), QKeySequence::Save, [this] { saveSession(); });
    file->addSeparator();
    action(file, QStringLiteral("Salva i &punti per CALVERO1..."), QKeySequence(), [this] { savePoints(); });
    action(file, QStringLiteral("&Copia i punti"), QKeySequence::Copy, [this] { copyPoints(); });
    action(file, QStringLiteral("I&nvia i punti a CALVERO1"), QKeySequence(), [this] { sendToCalvero(); });
    QMenu* format = file->addMenu(QStringLiteral("&Formato dei punti salvati"));
    decimalComma_ = format->addAction(QStringLiteral("virgola decimale (foglio di calcolo in italiano)"));
    headerLine_ = format->addAction(QStringLiteral("riga d'intestazione (x;y)"));
    tabSeparator_ = format->addAction(QStringLiteral("tabulazione fra i valori (al posto del punto e virgola)"));
    for (QAction* choice : {decimalComma_, headerLine_, tabSeparator_}) {
        choice->setCheckable(true);
        connect(choice, &QAction::toggled, this, [this] {
            setPointFormat(decimalComma_->isChecked() ? ',' : '.', headerLine_->isChecked(),
                           tabSeparator_->isChecked() ? '\t' : ';');
        });
    }
    file->addSeparator();
    action(file, QStringLiteral("&Uscita"), QKeySequence(), [this] { close(); });

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Modifica"));
    undoAction_ = action(edit, QStringLiteral("&Annulla"), QKeySequence::Undo, [this] { undo(); });
    redoAction_ = action(edit, QStringLiteral("&Ripeti"), QKeySequence(Qt::CTRL | Qt::Key_Y), [this] { redo(); });
    // Ctrl+Y everywhere, and the desktop's own redo keys where they differ.
    QList<QKeySequence> redoKeys{QKeySequence(Qt::CTRL | Qt::Key_Y)};
    for (const QKeySequence& keys : QKeySequence::keyBindings(QKeySequence::Redo))
        if (!redoKeys.contains(keys)) redoKeys << keys;
    redoAction_->setShortcuts(redoKeys);
    edit->addSeparator();
    action(edit, QStringLiteral("Interrompi"), QKeySequence(Qt::Key_Escape), [this] { setTool(CaptureView::Tool::AddPoint); });

    QMenu* show = menuBar()->addMenu(QStringLiteral("&Vista"));
    auto zoomBy = [this](double factor) {
        const QPointF middle = view_->toPicture(QPointF(scroll_->horizontalScrollBar()->value() + scroll_->viewport()->width() / 2.0,
                                                        scroll_->verticalScrollBar()->value() + scroll_->viewport()->height() / 2.0));
        view_->setZoom(view_->zoom() * factor, middle);
    };
    action(show, QStringLiteral("&Ingrandisci"), QKeySequence::ZoomIn, [zoomBy] { zoomBy(1.25); });
    action(show, QStringLiteral("&Riduci"), QKeySequence::ZoomOut, [zoomBy] { zoomBy(0.8); });
    action(show, QStringLiteral("&Dimensioni reali"), QKeySequence(Qt::CTRL | Qt::Key_0), [this] { view_->setZoom(1.0); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&?"));
    action(help, QStringLiteral("&Guida"), QKeySequence::HelpContents, [this] {
        const QString page = QApplication::applicationDirPath() + QStringLiteral("/cattura.htm");
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
            showMessage(QStringLiteral("impossibile aprire la pagina: %1").arg(page));
    });
}

// ---- messages and state -------------------------------------------------

void CaptureWindow::showMessage(const QString& message)
{
    if (messageSink_) messageSink_(message);
}

bool CaptureWindow::confirmLosingWork()
{
    if (!unsaved_) return true;
    return confirmer_ && confirmer_(QStringLiteral("i punti catturati non sono stati salvati e andranno persi: continuare?"));
}

void CaptureWindow::changed(bool accepted)
{
    if (accepted) unsaved_ = true;
    refresh();
}

void CaptureWindow::refresh()
{
    const CaptureState& state = document_.state();
    currentCurve_ = std::clamp(currentCurve_, 0, std::max(0, int(state.curves.size()) - 1));
    if (placing_ < 0 && !checkingFound_) {
        // The references shown are the document's (after an undo too).
        draftPoints_.fill(std::nullopt);
        if (state.axes) {
            const AxisReference* axes[2] = {&state.axes->x, &state.axes->y};
            for (int axis = 0; axis < 2; ++axis) {
                draftPoints_[axis * 2] = axes[axis]->first;
                draftPoints_[axis * 2 + 1] = axes[axis]->second;
                draftValues_[axis * 2] = axes[axis]->firstValue;
                draftValues_[axis * 2 + 1] = axes[axis]->secondValue;
            }
            const QSignalBlocker quietX(logX_), quietY(logY_);
            logX_->setChecked(state.axes->x.scale == AxisScale::Logarithmic);
            logY_->setChecked(state.axes->y.scale == AxisScale::Logarithmic);
        }
    }
    std::vector<CaptureView::Reference> references;
    for (int i = 0; i < 4; ++i) {
        CaptureView::Reference reference{QString::fromLatin1(ReferenceLabels[i]), std::nullopt};
        if (draftPoints_[std::size_t(i)]) reference.at = QPointF(draftPoints_[std::size_t(i)]->x, draftPoints_[std::size_t(i)]->y);
        references.push_back(reference);
    }
    view_->setReferences(references);

    std::vector<CaptureView::CurveMarks> others;
    CaptureView::CurveMarks active;
    for (std::size_t c = 0; c < state.curves.size(); ++c) {
        CaptureView::CurveMarks marks{{}, qColourOf(state.curves[c].marker)};
        for (const PixelPoint& p : state.curves[c].points) marks.points.emplace_back(p.x, p.y);
        if (int(c) == currentCurve_) active = marks;
        else others.push_back(marks);
    }
    view_->setCurves(others, active);
    std::vector<QRectF> areas;
    for (const PixelRect& r : state.exclusions) areas.emplace_back(r.left, r.top, r.width, r.height);
    view_->setExclusions(areas);
    curveList_->showCurves(state.curves, currentCurve_);

    axesState_->setText(state.axes ? QStringLiteral("assi tarati") : QStringLiteral("assi non tarati: premere «riferimenti degli assi»"));
    undoAction_->setEnabled(document_.canUndo());
    redoAction_->setEnabled(document_.canRedo());
    if (placing_ >= 0) statusBar()->showMessage(QString::fromUtf8(ReferencePrompts[placing_]));
}

QString CaptureWindow::statusText() const { return cursorLabel_->text(); }

void CaptureWindow::setCurrentCurve(int curve)
{
    if (curve < 0 || curve >= int(document_.curves().size()) || curve == currentCurve_) return;
    currentCurve_ = curve;
    refresh();
}

void CaptureWindow::setTool(CaptureView::Tool tool)
{
    if (tool != CaptureView::Tool::PlaceReference && placing_ >= 0) {
        placing_ = -1; // an interrupted placement leaves the axes as they were
        statusBar()->clearMessage();
    }
    view_->setTool(tool);
    const QSignalBlocker quiet(handButton_);
    handButton_->setChecked(tool == CaptureView::Tool::AddPoint || tool == CaptureView::Tool::PlaceReference);
    pickButton_->setChecked(tool == CaptureView::Tool::PickColour);
    exclusionButton_->setChecked(tool == CaptureView::Tool::DrawExclusion);
    refresh();
}

} // namespace calvero
