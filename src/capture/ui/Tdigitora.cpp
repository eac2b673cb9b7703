#include "capture/ui/Tdigitora.h"

#include "capture/calibration.h"
#include "capture/colour.h"
#include "capture/curvefinder.h"
#include "capture/pointexport.h"
#include "capture/sessionfile.h"
#include "capture/ui/curvelist.h"
#include "capture/ui/pictureload.h"
#include "fit/numtext.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDoubleSpinBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSaveFile>
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

namespace {

const char* const ReferenceLabels[4] = {"x1", "x2", "y1", "y2"};

const char* const ReferencePrompts[4] = {
    "fare clic sul primo punto di riferimento dell'asse x", "fare clic sul secondo punto di riferimento dell'asse x",
    "fare clic sul primo punto di riferimento dell'asse y", "fare clic sul secondo punto di riferimento dell'asse y"};

// Marker colours given to new curves in turn.
const Rgb CurveColours[] = {{220, 0, 0}, {0, 0, 230}, {0, 150, 0}, {200, 0, 200}, {240, 130, 0}, {0, 160, 170}, {120, 70, 20}};

Rgb curveColour(std::size_t index) { return CurveColours[index % std::size(CurveColours)]; }

QString text(const std::string& s) { return QString::fromStdString(s); }

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

bool writeTextFile(const QString& path, const std::string& content)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(content.data(), qint64(content.size()));
    return file.commit();
}

} // namespace

Tdigitora::Tdigitora(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("digitora"));
    setWindowTitle(QStringLiteral("digitora - cattura punti dal grafico"));
    setAcceptDrops(true);
    createControls();
    createActions();

    messageSink_ = [this](const QString& message) { QMessageBox::information(this, QStringLiteral("digitora"), message); };
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
    confirmer_ = [this](const QString& question) {
        return QMessageBox::question(this, QStringLiteral("digitora"), question) == QMessageBox::Yes;
    };
    refresh();
}

void Tdigitora::createControls()
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

    connect(view_, &CaptureView::pointAdded, this, &Tdigitora::pointAdded);
    connect(view_, &CaptureView::pointMoved, this, &Tdigitora::pointMoved);
    connect(view_, &CaptureView::pointRemoved, this, &Tdigitora::pointRemoved);
    connect(view_, &CaptureView::referencePlaced, this, &Tdigitora::referencePlaced);
    connect(view_, &CaptureView::referenceMoved, this, &Tdigitora::referenceMoved);
    connect(view_, &CaptureView::colourPicked, this, &Tdigitora::colourPicked);
    connect(view_, &CaptureView::exclusionDrawn, this, &Tdigitora::exclusionDrawn);
    connect(view_, &CaptureView::cursorMoved, this, &Tdigitora::cursorMoved);
    connect(view_, &CaptureView::cursorLeft, cursorLabel_, &QLabel::clear);
}

QWidget* Tdigitora::createSidePanel()
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
    axesColumn->addWidget(references);
    axesColumn->addLayout(scales);
    axesColumn->addWidget(axesState_);
    connect(references, &QPushButton::clicked, this, &Tdigitora::startReferences);
    connect(logX_, &QCheckBox::toggled, this, &Tdigitora::scaleToggled);
    connect(logY_, &QCheckBox::toggled, this, &Tdigitora::scaleToggled);

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
    connect(newCurve, &QPushButton::clicked, this, &Tdigitora::addCurve);
    connect(dropCurve, &QPushButton::clicked, this, &Tdigitora::removeCurve);
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
        const std::optional<double> value = parseDecimal(commaToPoint(typed.toStdString()));
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
    tolerance_->setObjectName(QStringLiteral("SpinEdit1"));
    tolerance_->setRange(MinTolerance, MaxTolerance);
    tolerance_->setDecimals(0);
    tolerance_->setSuffix(QStringLiteral(" %"));
    tolerance_->setValue(DefaultTolerance);
    pointCount_ = new QSpinBox;
    pointCount_->setObjectName(QStringLiteral("SpinEdit2"));
    pointCount_->setRange(MinPointCount, MaxPointCount);
    pointCount_->setValue(DefaultPointCount);
    QPushButton* find = button("&trova i punti");
    QPushButton* dropArea = button("togli l'ultima zona esclusa");
    form->addRow(QStringLiteral("colore"), colourSwatch_);
    form->addRow(QStringLiteral("tolleranza"), tolerance_);
    form->addRow(QStringLiteral("numero di punti"), pointCount_);
    form->addRow(find);
    form->addRow(dropArea);
    connect(find, &QPushButton::clicked, this, &Tdigitora::findByColour);
    connect(dropArea, &QPushButton::clicked, this, [this] {
        const std::size_t areas = document_.state().exclusions.size();
        if (areas == 0) return showMessage(QStringLiteral("nessuna zona esclusa"));
        changed(document_.removeExclusion(areas - 1));
    });

    QPushButton* savePointsButton = button("&Salva i punti per CALVERO1", QStyle::SP_DialogSaveButton);
    QPushButton* copyButton = button("c&opia i punti negli appunti");
    QPushButton* exitButton = button("&Uscita", QStyle::SP_DialogCloseButton);
    connect(savePointsButton, &QPushButton::clicked, this, &Tdigitora::savePoints);
    connect(copyButton, &QPushButton::clicked, this, &Tdigitora::copyPoints);
    connect(exitButton, &QPushButton::clicked, this, &QWidget::close);

    for (QWidget* part : std::initializer_list<QWidget*>{axes, curves, tools, search}) column->addWidget(part);
    column->addStretch();
    for (QWidget* part : {savePointsButton, copyButton, exitButton}) column->addWidget(part);
    panel->setMinimumWidth(300);
    panel->setMaximumWidth(380);
    return panel;
}

void Tdigitora::createActions()
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

void Tdigitora::showMessage(const QString& message)
{
    if (messageSink_) messageSink_(message);
}

bool Tdigitora::confirmLosingWork()
{
    if (!unsaved_) return true;
    return confirmer_ && confirmer_(QStringLiteral("i punti catturati non sono stati salvati e andranno persi: continuare?"));
}

void Tdigitora::changed(bool accepted)
{
    if (accepted) unsaved_ = true;
    refresh();
}

void Tdigitora::refresh()
{
    const CaptureState& state = document_.state();
    currentCurve_ = std::clamp(currentCurve_, 0, std::max(0, int(state.curves.size()) - 1));
    if (placing_ < 0) {
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

QString Tdigitora::statusText() const { return cursorLabel_->text(); }

void Tdigitora::setCurrentCurve(int curve)
{
    if (curve < 0 || curve >= int(document_.curves().size()) || curve == currentCurve_) return;
    currentCurve_ = curve;
    refresh();
}

void Tdigitora::setTool(CaptureView::Tool tool)
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

// ---- pictures ---------------------------------------------------------------

bool Tdigitora::openPicture(const QString& chosen)
{
    const QString path = chosen.isEmpty() && fileChooser_ ? fileChooser_(FileRequest::OpenPicture) : chosen;
    if (path.isEmpty()) return false;
    int page = 1;
    if (isPdfFile(path.toStdString())) {
        const Checked<int> pages = pdfPageCount(path.toStdString());
        if (!pages) {
            showMessage(text(pages.failure));
            return false;
        }
        if (*pages > 1) {
            const std::optional<int> asked = pageAsker_ ? pageAsker_(*pages) : std::optional<int>(1);
            if (!asked) return false;
            page = *asked;
        }
    }
    if (!confirmLosingWork()) return false;
    Checked<PixelBuffer> loaded = loadPicture(path.toStdString(), page, dpi_);
    if (!loaded) {
        showMessage(text(loaded.failure));
        return false;
    }
    takePicture(std::move(*loaded), QFileInfo(path).absoluteFilePath(), page, dpi_);
    return true;
}

bool Tdigitora::pastePicture()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data && !data->hasImage() && data->hasUrls() && data->urls().first().isLocalFile())
        return openPicture(data->urls().first().toLocalFile()); // a file copied in the file manager
    const QImage image = data && data->hasImage() ? QApplication::clipboard()->image() : QImage();
    if (image.isNull()) {
        showMessage(QStringLiteral("gli appunti non contengono un'immagine"));
        return false;
    }
    if (!confirmLosingWork()) return false;
    Checked<PixelBuffer> pasted = pictureFromImage(image);
    if (!pasted) {
        showMessage(text(pasted.failure));
        return false;
    }
    takePicture(std::move(*pasted), QString(), 1, dpi_);
    return true;
}

void Tdigitora::takePicture(PixelBuffer picture, const QString& path, int page, double dpi)
{
    // The view draws straight from the pixels, so it lets go of them first.
    view_->setImage(QImage());
    picture_ = std::move(picture);
    picturePath_ = path;
    page_ = page;
    dpi_ = dpi;
    view_->setImage(imageOf(picture_));
    const QSize room = scroll_->viewport()->size();
    view_->setZoom(std::min({1.0, double(room.width()) / picture_.width(), double(room.height()) / picture_.height()}));
    CaptureState fresh;
    fresh.curves.push_back(Curve{"curva 1", curveColour(0), std::nullopt, {}});
    document_.reset(fresh);
    currentCurve_ = 0;
    pickedColour_.reset();
    colourSwatch_->setText(QStringLiteral("nessuno"));
    colourSwatch_->setPalette(QPalette());
    placing_ = -1;
    unsaved_ = false;
    const QString name = path.isEmpty() ? QStringLiteral("immagine incollata") : QFileInfo(path).fileName();
    setWindowTitle(QStringLiteral("digitora - %1").arg(name) + (page > 1 ? QStringLiteral(" (pagina %1)").arg(page) : QString()));
    setTool(CaptureView::Tool::AddPoint);
}

void Tdigitora::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && event->mimeData()->urls().first().isLocalFile()) event->acceptProposedAction();
}

void Tdigitora::dropEvent(QDropEvent* event)
{
    const QString path = event->mimeData()->urls().first().toLocalFile();
    event->acceptProposedAction();
    // The drop ends before any message box opens.
    QMetaObject::invokeMethod(this, [this, path] { openPicture(path); }, Qt::QueuedConnection);
}

void Tdigitora::closeEvent(QCloseEvent* event)
{
    if (confirmLosingWork()) event->accept();
    else event->ignore();
}

// ---- axes -------------------------------------------------------------------

void Tdigitora::startReferences()
{
    if (picture_.empty()) return showMessage(QStringLiteral("aprire prima l'immagine del grafico"));
    setTool(CaptureView::Tool::PlaceReference);
    placing_ = 0;
    refresh();
}

AxesReferences Tdigitora::draftReferences() const
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

std::optional<QString> Tdigitora::askValue(int which)
{
    const std::size_t i = std::size_t(which);
    const QString current = draftPoints_[i] ? text(pointValueText(draftValues_[i])) : QString();
    return valueAsker_ ? valueAsker_(QString::fromLatin1(ReferenceLabels[which]), current) : std::nullopt;
}

void Tdigitora::referencePlaced(QPointF at)
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
    const std::optional<double> value = parseDecimal(commaToPoint(typed->trimmed().toStdString()));
    if (!value) {
        draftPoints_[i] = earlierPoint;
        showMessage(QStringLiteral("valore non numerico: %1").arg(*typed));
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

bool Tdigitora::applyReferences(const AxesReferences& references)
{
    if (const std::optional<std::string> problem = document_.setAxes(references)) {
        showMessage(text(*problem));
        refresh();
        return false;
    }
    changed(true);
    return true;
}

void Tdigitora::referenceMoved(int which, QPointF to)
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

void Tdigitora::scaleToggled()
{
    if (placing_ >= 0 || !document_.state().axes) return; // used when the references are complete
    applyReferences(draftReferences());
}

// ---- points -------------------------------------------------------------------

void Tdigitora::pointAdded(QPointF at)
{
    if (document_.curves().empty()) return showMessage(QStringLiteral("nessuna curva: premere «nuova curva»"));
    changed(document_.addPoint(std::size_t(currentCurve_), pixelOf(at)));
}

void Tdigitora::pointMoved(int index, QPointF to)
{
    changed(document_.movePoint(std::size_t(currentCurve_), std::size_t(index), pixelOf(to)));
}

void Tdigitora::pointRemoved(int index) { changed(document_.removePoint(std::size_t(currentCurve_), std::size_t(index))); }

void Tdigitora::exclusionDrawn(QRectF r)
{
    document_.addExclusion(PixelRect{r.left(), r.top(), r.width(), r.height()});
    changed(true);
}

void Tdigitora::colourPicked(QPointF at)
{
    const Rgb colour = colourNear(picture_, at);
    pickedColour_ = colour;
    colourSeed_ = pixelOf(at);
    QPalette swatch = colourSwatch_->palette();
    swatch.setColor(QPalette::Window, qColourOf(colour));
    swatch.setColor(QPalette::WindowText, qColourOf(colour).lightness() < 128 ? Qt::white : Qt::black);
    colourSwatch_->setPalette(swatch);
    colourSwatch_->setText(text(colourText(colour)));
    findByColour();
}

void Tdigitora::findByColour()
{
    if (picture_.empty()) return showMessage(QStringLiteral("aprire prima l'immagine del grafico"));
    const std::optional<AxisCalibration> calibration = document_.calibration();
    if (!calibration) return showMessage(QStringLiteral("prima di cercare una curva si devono tarare gli assi"));
    if (!pickedColour_) return showMessage(QStringLiteral("fare prima clic sulla curva con «prendi il colore della curva»"));
    if (document_.curves().empty()) return showMessage(QStringLiteral("nessuna curva: premere «nuova curva»"));
    CurveSearch search;
    search.colour = *pickedColour_;
    search.tolerance = tolerance_->value();
    search.pointCount = pointCount_->value();
    search.seed = colourSeed_;
    search.exclusions = document_.state().exclusions;
    const Checked<FoundCurve> found = findCurve(picture_, *calibration, search);
    if (!found) return showMessage(text(found.failure));
    changed(document_.replacePoints(std::size_t(currentCurve_), found->pixels));
}

void Tdigitora::cursorMoved(QPointF at)
{
    if (const std::optional<AxisCalibration> calibration = document_.calibration()) {
        const UnitPoint units = calibration->toUnits(pixelOf(at));
        cursorLabel_->setText(QStringLiteral("x = %1   y = %2").arg(text(pointValueText(units.x)), text(pointValueText(units.y))));
        return;
    }
    cursorLabel_->setText(QStringLiteral("punto dell'immagine: %1, %2").arg(int(at.x())).arg(int(at.y())));
}

void Tdigitora::undo() { changed(document_.undo()); }
void Tdigitora::redo() { changed(document_.redo()); }

void Tdigitora::addCurve()
{
    const std::size_t count = document_.curves().size();
    const std::string name = "curva " + std::to_string(count + 1);
    currentCurve_ = int(document_.addCurve(Curve{name, curveColour(count), std::nullopt, {}}));
    changed(true);
}

void Tdigitora::removeCurve()
{
    if (document_.curves().size() <= 1) return showMessage(QStringLiteral("deve restare almeno una curva"));
    changed(document_.removeCurve(std::size_t(currentCurve_)));
}

// ---- points out and sessions ---------------------------------------------------

void Tdigitora::savePoints()
{
    const Checked<std::string> content = pointFileText(document_.state());
    if (!content) return showMessage(text(content.failure));
    QString path = fileChooser_ ? fileChooser_(FileRequest::SavePoints) : QString();
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".txt");
    if (!writeTextFile(path, *content)) showMessage(QStringLiteral("impossibile scrivere il file: %1").arg(path));
}

void Tdigitora::copyPoints()
{
    const Checked<std::string> content = clipboardText(document_.state());
    if (!content) return showMessage(text(content.failure));
    QApplication::clipboard()->setText(text(*content));
    statusBar()->showMessage(QStringLiteral("punti copiati negli appunti"), 4000);
}

void Tdigitora::saveSession()
{
    if (picture_.empty()) return showMessage(QStringLiteral("aprire prima l'immagine del grafico"));
    QString path = fileChooser_ ? fileChooser_(FileRequest::SaveSession) : QString();
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QString::fromLatin1(SessionExtension);
    QString picturePath = picturePath_;
    if (picturePath.isEmpty()) {
        // A pasted picture is kept beside the session, which names it.
        const QFileInfo session(path);
        picturePath = session.absolutePath() + '/' + session.completeBaseName() + QStringLiteral(".png");
        if (!imageOf(picture_).save(picturePath, "PNG"))
            return showMessage(QStringLiteral("impossibile scrivere il file: %1").arg(picturePath));
    }
    const CaptureSession session{picturePath.toStdString(), page_, dpi_, document_.state()};
    if (const std::optional<std::string> problem = writeSessionFile(path.toStdString(), session))
        return showMessage(text(*problem));
    picturePath_ = picturePath;
    unsaved_ = false;
}

void Tdigitora::openSession()
{
    const QString path = fileChooser_ ? fileChooser_(FileRequest::OpenSession) : QString();
    if (path.isEmpty()) return;
    const Checked<CaptureSession> session = readSessionFile(path.toStdString());
    if (!session) return showMessage(text(session.failure));
    // A picture named relative to the session file is looked for beside it.
    QString picturePath = text(session->picturePath);
    if (QFileInfo(picturePath).isRelative()) picturePath = QFileInfo(path).absolutePath() + '/' + picturePath;
    Checked<PixelBuffer> loaded = loadPicture(picturePath.toStdString(), session->page, session->dpi);
    if (!loaded) return showMessage(QStringLiteral("immagine della sessione: %1").arg(text(loaded.failure)));
    if (!confirmLosingWork()) return;
    takePicture(std::move(*loaded), picturePath, session->page, session->dpi);
    document_.reset(session->state);
    refresh();
}

} // namespace calvero
