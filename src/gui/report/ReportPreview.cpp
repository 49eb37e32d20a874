#include "ReportPreview.h"

#include "app/UserPrompts.h"
#include "text/Cp1251.h"
#include "text/Error.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace kvort::gui {

namespace {

// Zoom choices: a factor, or one of the two fitting modes.
constexpr double kFitWidth = -1;
constexpr double kFitPage = -2;
constexpr double kZooms[] = {kFitWidth, kFitPage, 0.5, 0.75, 1.0, 1.5, 2.0};
constexpr int kDefaultZoom = 0;
constexpr int kViewMargin = 12; // grey around the sheet

} // namespace

// The sheet on screen: white paper with one page of the report on it.
class ReportPageView : public QWidget {
  public:
    explicit ReportPageView(const report::Report& report) : m_report(report) {
        setObjectName(QStringLiteral("reportPageView"));
        setAttribute(Qt::WA_OpaquePaintEvent, false);
    }
    int page() const { return m_page; }
    void setPage(int page) {
        m_page = page;
        update();
    }
    double zoom() const { return m_zoom; }
    void setZoom(double zoom) {
        m_zoom = zoom;
        const QSizeF paper = m_report.paperSize() * pixelsPerUnit();
        setFixedSize(QSize(int(paper.width()), int(paper.height())) +
                     QSize(2 * kViewMargin, 2 * kViewMargin));
        update();
    }
    // Screen pixels per template unit at zoom 1 (units are 1/96 inch).
    double pixelsPerUnitAtOne() const { return logicalDpiX() / report::kUnitsPerInch; }
    double pixelsPerUnit() const { return m_zoom * pixelsPerUnitAtOne(); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const double scale = pixelsPerUnit();
        const QSizeF paper = m_report.paperSize() * scale;
        painter.fillRect(QRectF(QPointF(kViewMargin, kViewMargin), paper), Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.translate(kViewMargin, kViewMargin);
        painter.scale(scale, scale);
        m_report.paintPage(painter, m_page);
    }

  private:
    const report::Report& m_report;
    int m_page = 0;
    double m_zoom = 1;
};

ReportPreview::ReportPreview(report::Report& report, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_report(report), m_prompts(prompts) {
    setObjectName(QStringLiteral("reportPreview"));
    setWindowTitle(QStringLiteral("Предварительный просмотр — ") + report.reportTemplate().title);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);

    auto button = [this](const char* name, const QString& textOut, const QString& tip) {
        auto* b = new QPushButton(textOut, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };

    m_zoom = new QComboBox(this);
    m_zoom->setObjectName(QStringLiteral("zoomCombo"));
    m_zoom->setToolTip(QStringLiteral("Масштаб"));
    for (double z : kZooms)
        m_zoom->addItem(z == kFitWidth  ? QStringLiteral("По ширине")
                        : z == kFitPage ? QStringLiteral("Страница целиком")
                                        : QString::number(int(z * 100)) + QLatin1Char('%'));
    m_zoom->setCurrentIndex(kDefaultZoom);

    auto* first =
        button("firstPageButton", QStringLiteral("|<"), QStringLiteral("Первая страница"));
    auto* previous =
        button("previousPageButton", QStringLiteral("<"), QStringLiteral("Предыдущая страница"));
    m_page = new QSpinBox(this);
    m_page->setObjectName(QStringLiteral("pageSpin"));
    m_pageCount = new QLabel(this);
    m_pageCount->setObjectName(QStringLiteral("pageCountLabel"));
    auto* next =
        button("nextPageButton", QStringLiteral(">"), QStringLiteral("Следующая страница"));
    auto* last =
        button("lastPageButton", QStringLiteral(">|"), QStringLiteral("Последняя страница"));
    auto* printButton =
        button("printButton", QStringLiteral("Печать…"), QStringLiteral("Напечатать отчёт"));
    auto* saveButton = button("savePdfButton", QStringLiteral("Сохранить PDF…"),
                              QStringLiteral("Сохранить отчёт в файл PDF"));
    auto* setupButton = button("pageSetupButton", QStringLiteral("Параметры страницы…"),
                               QStringLiteral("Размер бумаги, ориентация и поля"));
    setupButton->setVisible(report.reportTemplate().kind == ReportKind::Detectors);
    auto* closeButton =
        button("closeButton", QStringLiteral("Закрыть"), QStringLiteral("Закрыть просмотр"));

    auto* tools = new QHBoxLayout;
    tools->addWidget(m_zoom);
    tools->addSpacing(12);
    for (QWidget* w :
         std::initializer_list<QWidget*>{first, previous, m_page, m_pageCount, next, last})
        tools->addWidget(w);
    tools->addSpacing(12);
    tools->addWidget(printButton);
    tools->addWidget(saveButton);
    tools->addWidget(setupButton);
    tools->addStretch(1);
    tools->addWidget(closeButton);

    m_view = new ReportPageView(report);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("reportScroll"));
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setWidget(m_view);
    m_scroll->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(m_scroll, 1);

    connect(m_zoom, &QComboBox::currentIndexChanged, this, [this] { applyZoom(); });
    connect(m_page, &QSpinBox::valueChanged, this, [this](int v) { showPage(v - 1); });
    connect(first, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(previous, &QPushButton::clicked, this, [this] { showPage(currentPage() - 1); });
    connect(next, &QPushButton::clicked, this, [this] { showPage(currentPage() + 1); });
    connect(last, &QPushButton::clicked, this, [this] { showPage(m_report.pageCount() - 1); });
    connect(printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(saveButton, &QPushButton::clicked, this, [this] { savePdf(); });
    connect(setupButton, &QPushButton::clicked, this, [this] { pageSetup(); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    auto* down = new QShortcut(QKeySequence(Qt::Key_PageDown), this);
    connect(down, &QShortcut::activated, this, [this] { showPage(currentPage() + 1); });
    auto* up = new QShortcut(QKeySequence(Qt::Key_PageUp), this);
    connect(up, &QShortcut::activated, this, [this] { showPage(currentPage() - 1); });

    resize(1000, 800);
    pagesChanged();
}

int ReportPreview::currentPage() const {
    return m_view->page();
}

double ReportPreview::zoom() const {
    return m_view->zoom();
}

void ReportPreview::showPage(int page) {
    page = std::clamp(page, 0, std::max(m_report.pageCount() - 1, 0));
    m_view->setPage(page);
    if (m_page->value() != page + 1) {
        const QSignalBlocker block(m_page);
        m_page->setValue(page + 1);
    }
    m_scroll->verticalScrollBar()->setValue(0);
}

void ReportPreview::pagesChanged() {
    const int pages = m_report.pageCount();
    {
        const QSignalBlocker block(m_page);
        m_page->setRange(1, std::max(pages, 1));
    }
    m_pageCount->setText(QStringLiteral("из %1").arg(pages));
    applyZoom();
    showPage(currentPage());
}

void ReportPreview::applyZoom() {
    const double chosen = kZooms[std::max(m_zoom->currentIndex(), 0)];
    double z = chosen;
    if (chosen < 0) {
        // The room without scroll bars, less the vertical one when fitting the
        // width: a long page brings it, and the fit must not change with it.
        QSize room = m_scroll->maximumViewportSize() - QSize(2 * kViewMargin, 2 * kViewMargin);
        const QSizeF paper = m_report.paperSize() * m_view->pixelsPerUnitAtOne();
        if (chosen == kFitWidth)
            room.rwidth() -= m_scroll->verticalScrollBar()->sizeHint().width();
        const double byWidth = room.width() / paper.width();
        z = chosen == kFitWidth ? byWidth : std::min(byWidth, room.height() / paper.height());
        z = std::max(z, 0.1);
    }
    m_view->setZoom(z);
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_scroll && event->type() == QEvent::Resize)
        applyZoom();
    return QDialog::eventFilter(watched, event);
}

void ReportPreview::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_report.pageLayout());
    printer.setDocName(windowTitle());
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, m_report.pageCount());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    int first = 0, last = m_report.pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange) {
        first = printer.fromPage() - 1;
        last = printer.toPage() - 1;
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        first = last = currentPage();
    }
    // The report places everything from the paper's corner itself.
    printer.setFullPage(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool printed = report::PaintReportPages(m_report, printer, first, last);
    QApplication::restoreOverrideCursor();
    if (!printed)
        m_prompts.message(text::fromUtf8("ОШИБКА"), text::fromUtf8("НЕ УДАЛОСЬ НАПЕЧАТАТЬ ОТЧЁТ"),
                          MsgIcon::Error, MsgButtons::Ok);
}

void ReportPreview::savePdf() {
    FileDialogOptions options;
    options.filter = "*.pdf|*.pdf";
    options.defaultExtension = ".pdf";
    // The configuration's name and the report's title: the reports of one
    // configuration saved one after another do not overwrite each other.
    std::string name;
    for (const auto& [key, value] : m_report.commonValues())
        if (key == "FileName")
            name = value + "_";
    options.initialName =
        name + text::fromUtf8Lossy(m_report.reportTemplate().title.toStdString()) + ".pdf";
    const auto path = m_prompts.saveFile(options);
    if (!path)
        return;
    try {
        report::WritePdf({&m_report}, *path);
    } catch (const Error& e) {
        m_prompts.message(text::fromUtf8("ОШИБКА"), text::fromUtf8Lossy(e.what()), MsgIcon::Error,
                          MsgButtons::Ok);
    }
}

void ReportPreview::pageSetup() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_report.pageLayout());
    QPageSetupDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_report.setPageLayout(printer.pageLayout());
    pagesChanged();
}

void ShowConfigReports(const std::filesystem::path& config, UserPrompts& prompts, QWidget* parent) {
    for (ReportKind kind : ReportsToPrint(config)) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        std::optional<report::Report> built;
        try {
            built.emplace(report::Report::build(kind, config));
        } catch (...) {
            QApplication::restoreOverrideCursor();
            throw;
        }
        QApplication::restoreOverrideCursor();
        ReportPreview preview(*built, prompts, parent);
        preview.exec();
    }
}

} // namespace kvort::gui
