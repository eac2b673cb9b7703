#include "entry/ui/pointgridwindow.h"

#include "entry/entrylayout.h"
#include "entry/importcommand.h"
#include "entry/ui/gridclipboard.h"
#include "entry/ui/pointgridmodel.h"
#include "fit/session.h"

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

void place(QWidget* widget, const EntryLayout::Box& box) { widget->setGeometry(box.left, box.top, box.width, box.height); }

QFont pointSize14(QFont font)
{
    font.setPointSize(14);
    return font;
}

} // namespace

Tgriglia_input::Tgriglia_input(QWidget* parent)
    : QDialog(parent), model_(new PointGridModel(session().grid, this))
{
    setObjectName(QStringLiteral("griglia_input"));
    setWindowTitle(QStringLiteral("immissione dati"));

    // Label1 first, so that the buttons placed over its area stay on top of it.
    Label1 = new QLabel(QStringLiteral("la prima coppia o terna con valore zero =fine dei dati"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setWordWrap(true);

    StringGrid1 = new QTableView(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setModel(model_);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    StringGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    StringGrid1->horizontalHeader()->setSectionsClickable(false);
    StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    StringGrid1->verticalHeader()->setSectionsClickable(false);
    StringGrid1->verticalHeader()->setMinimumWidth(StringGrid1->fontMetrics().horizontalAdvance(CornerText) + 12);
    clipboard_ = new PointGridClipboard(StringGrid1, [this](const QString& text) { showMessage(text); });
    // The corner cell of the fixed row and column carries the caption of the row numbers.
    if (auto* corner = StringGrid1->findChild<QAbstractButton*>()) {
        corner->installEventFilter(this);
    }

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("&USCITA"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOpenButton),
                              QStringLiteral("lettura punti da file txt oppure csv oppure direttamente da Excel"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    for (QPushButton* button : {BitBtn1, BitBtn2}) {
        button->setIconSize(QSize(16, 16));
        button->setAutoDefault(false);
    }

    Label2 = new QLabel(QStringLiteral("per file csv oppure txt il separatore =spazio oppure  punto e virgola"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new QLabel(QStringLiteral("riga di inizio dei dati del file EXCEL"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    for (QLabel* label : {Label2, Label3}) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setFont(pointSize14(label->font()));
    }

    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(1, 100);
    SpinEdit1->setValue(2);
    SpinEdit1->setFont(pointSize14(SpinEdit1->font()));

    connect(BitBtn1, &QPushButton::clicked, this, &Tgriglia_input::vai_fine);
    connect(BitBtn2, &QPushButton::clicked, this, &Tgriglia_input::leggipunticsv);

    messageSink_ = [this](const QString& text) {
        QMessageBox::information(this, QCoreApplication::applicationName(), text);
    };
    fileChooser_ = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("legge i punti dal disco"), QString(),
                                            QStringLiteral("csv(*.csv);;excel(*.xls *.xlsx);;OpenDocument(*.ods);;testo(*.txt)"));
    };
}

void Tgriglia_input::setMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }
void Tgriglia_input::setFileChooser(FileChooser chooser) { fileChooser_ = std::move(chooser); }

int Tgriglia_input::gridRowCount() const { return model_->rowCount() + 1; }
int Tgriglia_input::gridColumnCount() const { return model_->columnCount() + 1; }

QString Tgriglia_input::headerCell(int column) const
{
    if (column == 0) return CornerText;
    return model_->headerData(column - 1, Qt::Horizontal, Qt::DisplayRole).toString();
}

void Tgriglia_input::inizia()
{
    const QScreen* current = screen();
    inizia(current != nullptr ? current->geometry().size() : QSize(1024, 768));
}

void Tgriglia_input::inizia(const QSize& screenSize)
{
    const EntryLayout layout = entryLayout(screenSize.width(), screenSize.height());
    setWindowTitle(QStringLiteral("immissione dati"));
    move(layout.window.left, layout.window.top);
    resize(layout.window.width, layout.window.height);

    // The grid's text may have changed while the window was hidden (a clear, a data set file).
    model_->setShowsZ(session().fit.kind == FitType::SurfaceXY);
    model_->refresh();

    place(StringGrid1, layout.grid);
    place(Label1, layout.rule);
    place(BitBtn1, layout.exitButton);
    place(BitBtn2, layout.fileButton);
    place(Label2, layout.hint);
    place(Label3, layout.firstRowCaption);
    place(SpinEdit1, layout.firstRow);
    SpinEdit1->setValue(2);
}

void Tgriglia_input::vai_fine()
{
    commitOpenEditor();
    copyGridToPoints(session().grid, session().points);
    accept();
}

void Tgriglia_input::leggipunticsv()
{
    commitOpenEditor();
    const QString name = fileChooser_ ? fileChooser_() : QString();
    if (name.isEmpty()) return;
    const std::vector<std::string> messages = importPointFile(name.toStdString(), SpinEdit1->value());
    model_->refresh();
    for (const std::string& message : messages) showMessage(QString::fromStdString(message));
}

void Tgriglia_input::showEvent(QShowEvent* event)
{
    // A window given back by the window manager (after being minimised) keeps its state.
    if (!event->spontaneous()) inizia();
    QDialog::showEvent(event);
}

bool Tgriglia_input::eventFilter(QObject* watched, QEvent* event)
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

void Tgriglia_input::showMessage(const QString& text)
{
    if (messageSink_) messageSink_(text);
}

void Tgriglia_input::commitOpenEditor()
{
    // A cell still being typed in (an accelerator key leaves the focus in it)
    // is written to the grid before the command reads the grid.
    QWidget* editor = StringGrid1->indexWidget(StringGrid1->currentIndex());
    if (editor == nullptr) return;
    QMetaObject::invokeMethod(StringGrid1, "commitData", Qt::DirectConnection, Q_ARG(QWidget*, editor));
    QMetaObject::invokeMethod(StringGrid1, "closeEditor", Qt::DirectConnection, Q_ARG(QWidget*, editor),
                              Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
}

} // namespace calvero
