#include "gui/pages/ConfigPage.h"

#include "gui/Guarded.h"

namespace kvort::gui {

ConfigPage::ConfigPage(const PageContext& context, QWidget* parent)
    : QWidget(parent), m_context(context) {
    m_context.session.addObserver(this);
}

ConfigPage::~ConfigPage() {
    m_context.session.removeObserver(this);
}

bool ConfigPage::guarded(const std::function<void()>& body) {
    return gui::guarded(m_context.prompts, m_context.progress, body);
}

} // namespace kvort::gui
