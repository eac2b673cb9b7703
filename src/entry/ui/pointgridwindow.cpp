#include "entry/ui/pointgridwindow.h"

#include "entry/entrylayout.h"
#include "entry/importcommand.h"
#include "entry/ui/gridclipboard.h"
#include "entry/ui/pointgridmodel.h"

#include <QAbstractButton>
#include <QAbstractItemDelegate>
#include <QCoreApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTableView>

namespace calvero {

namespace {

const QString CornerText = QStringLiteral("punto");

// Every file the import reads is listed at first; "tutti i file" shows the others.
const QString PointFileFilters = QStringLiteral(
    "punti (*.txt *.csv *.xls *.xlsx *.ods);;testo (*.txt *.csv);;excel (*.xls *.xlsx);;OpenDocument (*.ods);;"
    "tutti i file (*)");

void place(QWidget* widget, const EntryLayout::Box& box) { widget->setGeometry(box.left, box.top, box.width, box.height); }

// A wrapped caption on a small screen may need more lines than its box
// holds: it grows downwards into the gap under it rather than lose its
// last line. Returns where the caption ends.
int placeCaption(QLabel* label, const EntryLayout::Box& box)
{
    label->setGeometry(box.left, box.top, box.width, std::max(box.height, label->heightForWidth(box.width)));
    return label->geometry().bottom() + 1;
}

QFont pointSize14(QFont font)
{
    font.setPointSize(14);
    return font;
}

} // namespace

PointGridWindow::PointGridWindow(PointTarget target, const FitType& kind, QWidget* parent)
    : QDialog(parent), target_(target), kind_(kind), model_(new PointGridModel(target.grid, this))
{
    setObjectName(QStringLiteral("pointGridWindow"));
    setWindowTitle(QStringLiteral("immissione dati"));

    // The rule first, so that the buttons placed over its area stay on top of it.
    ruleLabel_ = new QLabel(QStringLiteral("la prima coppia o terna con valore zero =fine dei dati"), this);
    ruleLabel_->setObjectName(QStringLiteral("ruleLabel"));
    ruleLabel_->setTextFormat(Qt::PlainText);
    ruleLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ruleLabel_->setWordWrap(true);

    pointGrid_ = new QTableView(this);
    pointGrid_->setObjectName(QStringLiteral("pointGrid"));
    pointGrid_->setModel(model_);
    pointGrid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    pointGrid_->setSelectionBehavior(QAbstractItemView::SelectItems);
    pointGrid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    pointGrid_->horizontalHeader()->setSectionsClickable(false);
    pointGrid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    pointGrid_->verticalHeader()->setSectionsClickable(false);
    pointGrid_->verticalHeader()->setMinimumWidth(pointGrid_->fontMetrics().horizontalAdvance(CornerText) + 12);
    clipboard_ = new PointGridClipboard(pointGrid_, [this](const QString& text) { showMessage(text); });
    // The corner cell of the fixed row and column carries the caption of the row numbers.
    if (auto* corner = pointGrid_->findChild<QAbstractButton*>()) {
        corner->installEventFilter(this);
    }

    exitButton_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("&USCITA"), this);
    exitButton_->setObjectName(QStringLiteral("exitButton"));
    importButton_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogOpenButton),
                              QStringLiteral("lettura punti da file txt oppure csv oppure direttamente da Excel"), this);
    importButton_->setObjectName(QStringLiteral("importButton"));
    for (QPushButton* button : {exitButton_, importButton_}) {
        button->setIconSize(QSize(16, 16));
        button->setAutoDefault(false);
    }

    separatorHint_ = new QLabel(QStringLiteral("per file csv oppure txt il separatore =spazio oppure  punto e virgola"), this);
    separatorHint_->setObjectName(QStringLiteral("separatorHint"));
    firstRowLabel_ = new QLabel(QStringLiteral("riga di inizio dei dati del file EXCEL"), this);
    firstRowLabel_->setObjectName(QStringLiteral("firstRowLabel"));
    for (QLabel* label : {separatorHint_, firstRowLabel_}) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setFont(pointSize14(label->font()));
    }

    firstRowBox_ = new QSpinBox(this);
    firstRowBox_->setObjectName(QStringLiteral("firstRowBox"));
    firstRowBox_->setRange(1, 100);
    firstRowBox_->setValue(FirstImportedSpreadsheetRow);
    firstRowBox_->setFont(pointSize14(firstRowBox_->font()));

    connect(exitButton_, &QPushButton::clicked, this, &PointGridWindow::finishEntry);
    connect(importButton_, &QPushButton::clicked, this, &PointGridWindow::importPoints);

    roomKeeper_ = new RoomKeeper(this, [this](const ScreenRoom& room) { layOutForRoom(room); });
    messageSink_ = [this](const QString& text) {
        QMessageBox::warning(this, QCoreApplication::applicationName(), text);
    };
    fileChooser_ = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("legge i punti dal disco"), QString(),
                                            PointFileFilters);
    };
}

void PointGridWindow::setMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }
void PointGridWindow::setFileChooser(FileChooser chooser) { fileChooser_ = std::move(chooser); }
void PointGridWindow::setImportListener(ImportListener listener) { importListener_ = std::move(listener); }

int PointGridWindow::gridRowCount() const { return model_->rowCount() + 1; }
int PointGridWindow::gridColumnCount() const { return model_->columnCount() + 1; }

QString PointGridWindow::headerCell(int column) const
{
    if (column == 0) return CornerText;
    return model_->headerData(column - 1, Qt::Horizontal, Qt::DisplayRole).toString();
}

void PointGridWindow::layOutForScreen() { roomKeeper_->showing(); }

void PointGridWindow::layOutForScreen(const QSize& screenSize) { layOutForRoom({QRect(QPoint(0, 0), screenSize), {}}); }

void PointGridWindow::layOutForRoom(const ScreenRoom& room)
{
    const QRect inside = room.inside();
    const EntryLayout layout = entryLayout(inside.width(), inside.height());
    setWindowTitle(QStringLiteral("immissione dati"));
    fillRoom(this, room);

    // The grid's text may have changed while the window was hidden (a clear, a data set file).
    model_->setShowsZ(kind_ == FitType::SurfaceXY);
    model_->refresh();

    place(pointGrid_, layout.pointGrid);
    place(ruleLabel_, layout.ruleLabel);
    place(exitButton_, layout.exitButton);
    place(importButton_, layout.importButton);
    placeCaption(separatorHint_, layout.separatorHint);
    const int captionEnd = placeCaption(firstRowLabel_, layout.firstRowLabel);
    EntryLayout::Box rowBox = layout.firstRowBox;
    rowBox.top = std::max(rowBox.top, captionEnd + 5);
    place(firstRowBox_, rowBox);
    firstRowBox_->setValue(FirstImportedSpreadsheetRow);
}

void PointGridWindow::finishEntry()
{
    commitOpenEditor();
    copyGridToPoints(target_.grid, target_.points);
    accept();
}

void PointGridWindow::importPoints()
{
    commitOpenEditor();
    const QString name = fileChooser_ ? fileChooser_() : QString();
    if (name.isEmpty()) return;
    const std::string path = name.toStdString();
    const Failure said = importPointFile(path, firstRowBox_->value(), target_);
    model_->refresh();
    if (importReplacedPoints(said) && importListener_) importListener_(path);
    if (said) showMessage(QString::fromStdString(*said));
}

void PointGridWindow::showEvent(QShowEvent* event)
{
    // A window given back by the window manager (after being minimised) keeps its state.
    if (!event->spontaneous()) layOutForScreen();
    QDialog::showEvent(event);
}

bool PointGridWindow::eventFilter(QObject* watched, QEvent* event)
{
    auto* corner = qobject_cast<QAbstractButton*>(watched);
    if (corner != nullptr && event->type() == QEvent::Paint) {
        QPainter painter(corner);
        QStyleOptionHeader option;
        option.initFrom(corner);
        option.rect = corner->rect();
        option.position = QStyleOptionHeader::OnlyOneSection;
        option.text = CornerText;
        option.textAlignment = Qt::AlignCenter;
        corner->style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void PointGridWindow::showMessage(const QString& text)
{
    if (messageSink_) messageSink_(text);
}

void PointGridWindow::commitOpenEditor()
{
    // A cell still being typed in (an accelerator key leaves the focus in it)
    // is written to the grid before the command reads the grid.
    QWidget* editor = pointGrid_->indexWidget(pointGrid_->currentIndex());
    if (editor == nullptr) return;
    QMetaObject::invokeMethod(pointGrid_, "commitData", Qt::DirectConnection, Q_ARG(QWidget*, editor));
    QMetaObject::invokeMethod(pointGrid_, "closeEditor", Qt::DirectConnection, Q_ARG(QWidget*, editor),
                              Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
}

} // namespace calvero
