#include "DetectorDialog.h"

#include "document/Detectors.h"
#include "document/OutputDevices.h"
#include "gui/GuiText.h"
#include "gui/widgets/DropDownList.h"
#include "gui/widgets/ListKeyFilter.h"
#include "text/Error.h"
#include "text/Literals.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace kvort::gui {

using namespace text::literals;

namespace {

const QKeySequence kDeleteKeys(Qt::CTRL | Qt::Key_Delete);

} // namespace

DetectorDialog::DetectorDialog(UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_keyFilter(new ListKeyFilter(this)) {
    setObjectName(QStringLiteral("detectorDialog"));
    // No title-bar buttons: the dialog ends only through its own buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    build();
}

DetectorDialog::~DetectorDialog() = default;

void DetectorDialog::build() {
    auto* layout = new QVBoxLayout(this);

    auto* typeGroup = new QGroupBox(QStringLiteral("Тип датчика"), this);
    typeGroup->setObjectName(QStringLiteral("typeGroup"));
    auto* typeGrid = new QGridLayout(typeGroup);
    m_types = new QButtonGroup(this);
    for (int i = 0; i < kTypeCount; ++i) {
        auto* b = new QRadioButton(qs(TypeCaption(i)), typeGroup);
        b->setObjectName(QStringLiteral("type%1Radio").arg(i));
        m_types->addButton(b, i);
        typeGrid->addWidget(b, i / 3, i % 3);
        m_typeButtons[i] = b;
    }
    connect(m_types, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            applyTypeRules(id);
    });
    layout->addWidget(typeGroup);

    auto* textGroup = new QGroupBox(QStringLiteral("Текст"), this);
    auto* textLayout = new QVBoxLayout(textGroup);
    m_text = new QComboBox(textGroup);
    m_text->setObjectName(QStringLiteral("textCombo"));
    m_text->setEditable(true);
    m_text->setInsertPolicy(QComboBox::NoInsert);
    m_text->lineEdit()->setMaxLength(kDetectorTextLength);
    m_text->lineEdit()->installEventFilter(this);
    // Typed and pasted text alike: upper case, the typing filter, 20 at most.
    connect(m_text->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& typed) {
        const QString clean = qs(DetectorTextInput(cp(typed)));
        if (clean != typed) {
            const int cursor = m_text->lineEdit()->cursorPosition();
            m_text->lineEdit()->setText(clean);
            m_text->lineEdit()->setCursorPosition(std::min<int>(
                clean.size(), std::max(0, cursor - int(typed.size() - clean.size()))));
        }
    });
    textLayout->addWidget(m_text);
    layout->addWidget(textGroup);

    auto* zoneGroup = new QGroupBox(QStringLiteral("Зона"), this);
    auto* zoneLayout = new QVBoxLayout(zoneGroup);
    m_zone = new DropDownList(zoneGroup);
    m_zone->setObjectName(QStringLiteral("zoneCombo"));
    m_zone->setMaxVisibleItems(20);
    zoneLayout->addWidget(m_zone);
    layout->addWidget(zoneGroup);

    m_stateGroup = new QGroupBox(QStringLiteral("Состояние"), this);
    m_stateGroup->setObjectName(QStringLiteral("stateGroup"));
    auto* stateLayout = new QHBoxLayout(m_stateGroup);
    m_stateOn = new QRadioButton(QStringLiteral("ВКЛ"), m_stateGroup);
    m_stateOn->setObjectName(QStringLiteral("stateOnRadio"));
    m_stateOff = new QRadioButton(QStringLiteral("ВЫКЛ"), m_stateGroup);
    m_stateOff->setObjectName(QStringLiteral("stateOffRadio"));
    stateLayout->addWidget(m_stateOn);
    stateLayout->addWidget(m_stateOff);
    // It shows the state; the state is switched elsewhere.
    m_stateGroup->setEnabled(false);
    layout->addWidget(m_stateGroup);

    m_outputGroup = new QGroupBox(QStringLiteral("Связанный выход (для ПО >=V08)"), this);
    m_outputGroup->setObjectName(QStringLiteral("outputGroup"));
    auto* outputGrid = new QGridLayout(m_outputGroup);
    outputGrid->addWidget(new QLabel(QStringLiteral("Прибор"), m_outputGroup), 0, 0);
    outputGrid->addWidget(new QLabel(QStringLiteral("Реле/адрес"), m_outputGroup), 0, 1);
    m_device = new DropDownList(m_outputGroup);
    m_device->setObjectName(QStringLiteral("deviceCombo"));
    m_number = new DropDownList(m_outputGroup);
    m_number->setObjectName(QStringLiteral("numberCombo"));
    m_number->setMaxVisibleItems(20);
    outputGrid->addWidget(m_device, 1, 0);
    outputGrid->addWidget(m_number, 1, 1);
    connect(m_device, &QComboBox::activated, this, [this](int) { deviceChosen(); });
    m_hide = new QCheckBox(QStringLiteral("не показывать на дисплее "), m_outputGroup);
    m_hide->setObjectName(QStringLiteral("hideCheck"));
    outputGrid->addWidget(m_hide, 2, 0, 1, 2);
    layout->addWidget(m_outputGroup);

    m_copyGroup = new QGroupBox(QStringLiteral("Групповое копирование"), this);
    m_copyGroup->setObjectName(QStringLiteral("copyGroup"));
    auto* copyLayout = new QHBoxLayout(m_copyGroup);
    m_copy = new QCheckBox(QStringLiteral("копировать до"), m_copyGroup);
    m_copy->setObjectName(QStringLiteral("copyCheck"));
    m_copyTo = new QSpinBox(m_copyGroup);
    m_copyTo->setObjectName(QStringLiteral("copyToSpin"));
    m_copyTo->setRange(1, kAddressesPerLine);
    copyLayout->addWidget(m_copy);
    copyLayout->addWidget(m_copyTo);
    copyLayout->addWidget(new QLabel(QStringLiteral("адреса включительно"), m_copyGroup));
    layout->addWidget(m_copyGroup);

    auto* buttons = new QHBoxLayout;
    m_saveButton = new QPushButton(QStringLiteral("Сохранить"), this);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_deleteButton = new QPushButton(QStringLiteral("Удалить"), this);
    m_deleteButton->setObjectName(QStringLiteral("deleteButton"));
    m_exitButton = new QPushButton(QStringLiteral("Выйти"), this);
    m_exitButton->setObjectName(QStringLiteral("exitButton"));
    m_saveButton->setDefault(true);
    m_deleteButton->setAutoDefault(false);
    m_exitButton->setAutoDefault(false);
    buttons->addWidget(m_saveButton);
    buttons->addWidget(m_deleteButton);
    buttons->addWidget(m_exitButton);
    layout->addLayout(buttons);
    connect(m_saveButton, &QPushButton::clicked, this, [this] { save(); });
    connect(m_deleteButton, &QPushButton::clicked, this, [this] { erase(); });
    connect(m_exitButton, &QPushButton::clicked, this, &QDialog::reject);
    auto* deleteKeys = new QShortcut(kDeleteKeys, this);
    connect(deleteKeys, &QShortcut::activated, this, [this] { erase(); });

    // The text field first, the zone list next: an installer types the
    // text, tabs to the zone, picks it with the arrows and presses Enter.
    setTabOrder(m_text, m_zone);
    setTabOrder(m_zone, m_device);
    setTabOrder(m_device, m_number);
    m_keyFilter->installOn(this);
    m_text->removeEventFilter(m_keyFilter); // the one list that takes typing
    if (m_text->view())
        m_text->view()->removeEventFilter(m_keyFilter);
}

bool DetectorDialog::openFor(const IniStore& cnf, const std::filesystem::path& tbPath,
                             const DetectorPlace& at, const ZoneNames& zones) {
    auto tb = std::make_unique<IniStore>(tbPath);
    if (RefuseOpening(m_prompts, *tb, at))
        return false;
    m_cnf = &cnf;
    m_zones = &zones;
    m_tb = std::move(tb);
    m_at = at;
    m_kind = SlotKind(cnf, at.slot);
    m_offer = OfferAt(m_kind, at.address);
    setWindowTitle(qs(SensorAddress(at.slot, at.line, at.address)));

    const QString lastZone = m_zone->text();
    m_zone->clear();
    for (const std::string& name : zones)
        m_zone->addItem(qs(name));
    fill(FillDetectorForm(cnf, *m_tb, at, cp(lastZone)));

    open();
    activateWindow();
    m_text->setFocus();
    m_text->lineEdit()->selectAll();
    // The zone check speaks once the dialog is up and active.
    QTimer::singleShot(0, this, [this] { checkZone(); });
    return true;
}

void DetectorDialog::fill(const DetectorForm& f) {
    m_copy->setChecked(false);
    m_device->clear();
    m_number->clear();
    m_typeButtons[kTypeLoop]->setVisible(m_offer.loopChoice);
    m_copyTo->setMinimum(m_offer.groupCopy ? m_offer.copyFrom : 1);
    m_copyTo->setValue(m_offer.copyFrom);

    m_text->setEditText(qs(f.text));
    m_zone->setText(qs(f.zone));

    // A checked button does not toggle when checked again, so the rules run
    // by hand as well.
    m_typeButtons[f.choice]->setChecked(true);
    applyTypeRules(f.choice);
    if (!f.device.empty()) {
        m_device->setText(qs(f.device));
        deviceChosen();
        m_number->setText(qs(f.number));
    }
    m_hide->setChecked(f.hide);
    (f.stateOn ? m_stateOn : m_stateOff)->setChecked(true);
    m_zone->setStyleSheet(ZoneListed(f.zone, *m_zones)
                              ? QString()
                              : QStringLiteral("QComboBox { background-color: yellow; }"));
}

void DetectorDialog::applyTypeRules(int choice) {
    const TypeView view = TypeRules(choice, m_offer);
    m_copyGroup->setVisible(view.groupCopy);
    m_outputGroup->setVisible(view.linkedOutput);
    m_hide->setVisible(view.hideBox);
    if (view.linkedOutput && m_cnf)
        rebuildDevices();
}

void DetectorDialog::rebuildDevices() {
    // The choice survives a change between the types that carry an output.
    const QString device = m_device->text();
    const QString number = m_number->text();
    m_device->clear();
    for (const std::string& d : BuildOutputDeviceList(*m_cnf))
        m_device->addItem(qs(d));
    m_device->setText(device);
    if (!device.isEmpty()) {
        deviceChosen();
        m_number->setText(number);
    }
}

void DetectorDialog::deviceChosen() {
    m_number->clear();
    for (const std::string& n : OutputNumbers(*m_cnf, cp(m_device->text())))
        m_number->addItem(qs(n));
    if (m_number->count() > 0)
        m_number->setCurrentIndex(0);
    else
        m_number->setText(QString());
}

void DetectorDialog::checkZone() {
    if (!isVisible() || !m_zones)
        return;
    const std::string zone = cp(m_zone->text());
    if (!ZoneListed(zone, *m_zones))
        ReportUnlistedZone(m_prompts);
}

DetectorForm DetectorDialog::form() const {
    DetectorForm f;
    f.choice = std::max(0, m_types->checkedId());
    f.text = cp(m_text->currentText());
    f.zone = cp(m_zone->text());
    f.stateOn = m_stateOn->isChecked();
    f.device = cp(m_device->text());
    f.number = cp(m_number->text());
    f.hide = m_hide->isChecked();
    f.copy = m_copy->isChecked();
    f.copyTo = m_copyTo->value();
    return f;
}

void DetectorDialog::save() {
    if (!m_tb)
        return;
    const DetectorForm f = form();
    SaveResult result;
    try {
        result = SaveDetector(m_prompts, *m_tb, m_kind, m_at, f);
    } catch (const Error& e) {
        m_prompts.message("ОШИБКА"_cp, text::fromUtf8Lossy(e.what()), MsgIcon::Error,
                          MsgButtons::Ok);
        return;
    }
    if (result.outcome == SaveOutcome::LoopDeclined) {
        m_typeButtons[kTypeSmoke]->setChecked(true);
        return;
    }
    if (result.outcome != SaveOutcome::Saved)
        return;
    rememberText(qs(f.text));
    emit recordsChanged(m_at.slot, m_at.line,
                        QList<int>(result.changed.begin(), result.changed.end()), true);
    accept();
}

void DetectorDialog::erase() {
    if (!m_tb || !isVisible())
        return;
    try {
        DeleteDetector(*m_tb, m_at.slot, m_at.line, m_at.address);
    } catch (const Error& e) {
        m_prompts.message("ОШИБКА"_cp, text::fromUtf8Lossy(e.what()), MsgIcon::Error,
                          MsgButtons::Ok);
        return;
    }
    emit recordsChanged(m_at.slot, m_at.line, {m_at.address}, false);
    accept();
}

void DetectorDialog::rememberText(const QString& text) {
    const int at = m_text->findText(text, Qt::MatchExactly);
    if (at >= 0)
        m_text->removeItem(at);
    m_text->insertItem(0, text);
    m_text->setCurrentIndex(-1);
    m_text->setEditText(text);
}

void DetectorDialog::done(int result) {
    m_tb.reset();
    QDialog::done(result);
}

void DetectorDialog::closeEvent(QCloseEvent* event) {
    // Alt+F4 and the window manager's close do nothing: the buttons decide.
    if (event->spontaneous())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

bool DetectorDialog::eventFilter(QObject* watched, QEvent* event) {
    // The text field would take Ctrl+Delete as "delete the next word".
    if (watched == m_text->lineEdit() && event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (QKeySequence(key->keyCombination()) == kDeleteKeys) {
            event->ignore();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kvort::gui
