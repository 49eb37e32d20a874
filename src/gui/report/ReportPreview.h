#pragma once
// The preview of a prepared report: zoom, page through, print, save as PDF,
// and for the detector list the page setup; closing it ends the preview.
#include "report/Report.h"

#include <QDialog>

#include <filesystem>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace kvort {
class UserPrompts;
}

namespace kvort::gui {

class ReportPageView;

class ReportPreview : public QDialog {
    Q_OBJECT
  public:
    // The report must outlive the preview; page setup lays it out again.
    ReportPreview(report::Report& report, UserPrompts& prompts, QWidget* parent = nullptr);

    int currentPage() const; // 0-based
    void showPage(int page);
    // Template pixels per unit of the page on screen; 1 = natural size.
    double zoom() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void applyZoom();
    void pagesChanged();
    void print();
    void savePdf();
    void pageSetup();

    report::Report& m_report;
    UserPrompts& m_prompts;
    ReportPageView* m_view;
    QScrollArea* m_scroll;
    QComboBox* m_zoom;
    QSpinBox* m_page;
    QLabel* m_pageCount;
};

// What the print action does: shows the reports of the configuration
// NAME.cnf in the print order (the detector list, then the scenarios, the
// outputs and the directions where the configuration has them), each
// built only when the preview before it has been closed. Throws the
// project's errors (FileError) when a file cannot be read; the caller shows
// them.
void ShowConfigReports(const std::filesystem::path& config, UserPrompts& prompts, QWidget* parent);

} // namespace kvort::gui
