#include "ui/kit/TemplateDialog.h"

#include <algorithm>
#include <stdexcept>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "resources/ResourceIds.h"
#include "ui/kit/ResourceArt.h"

namespace
{
const DialogTemplate& TemplateOrThrow(int id)
{
    const DialogTemplate* found = FindDialogTemplate(id);
    if (!found)
        throw std::invalid_argument("no dialog template " + std::to_string(id));
    return *found;
}

Qt::Alignment TextAlignment(unsigned style)
{
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (style & ControlStyle::AlignRight)
        horizontal = Qt::AlignRight;
    else if (style & ControlStyle::AlignCenter)
        horizontal = Qt::AlignHCenter;
    Qt::Alignment vertical = (style & ControlStyle::CenterVertically) ? Qt::AlignVCenter : Qt::AlignTop;
    return horizontal | vertical;
}

// Our stand-in for the dialog font draws some captions a few pixels wider
// than the template allows for; a caption that would be cut off gets the
// room it needs, away from its aligned edge.
void FitCaption(const ControlTemplate& control, const QWidget& widget, QRect& place)
{
    int needed = 0;
    if (control.kind == ControlKind::Static && !(control.style & (ControlStyle::Border | ControlStyle::WordWrap)))
        needed = QFontMetrics(widget.font()).horizontalAdvance(QString::fromStdString(control.caption));
    else if (control.kind == ControlKind::CheckBox)
        needed = widget.sizeHint().width();
    if (needed <= place.width())
        return;
    if (control.style & ControlStyle::AlignRight)
        place.setLeft(place.right() + 1 - needed);
    else
        place.setWidth(needed);
}

QString Caption(const ControlTemplate& control)
{
    return QString::fromStdString(control.caption);
}
} // namespace

TemplateDialog::TemplateDialog(int templateId, QWidget* parent)
    : QDialog(parent), m_template(TemplateOrThrow(templateId)), m_font(DialogFont(m_template)),
      m_units(BaseUnitsOf(m_font)), m_timers(this, [this](int id) { OnTimer(id); })
{
    setFont(m_font);
    if (m_template.kind == DialogKind::Child)
    {
        setWindowFlags(Qt::Widget);
    }
    else
    {
        Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (m_template.systemMenu)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (m_template.minimizeBox)
            flags |= Qt::WindowMinimizeButtonHint;
        setWindowFlags(flags);
        setWindowTitle(QString::fromStdString(m_template.title));
    }
    // A window keeps its size; a panel is sized by the window it sits in.
    if (m_template.kind == DialogKind::Child)
        resize(TemplateSize());
    else
        setFixedSize(TemplateSize());
    for (const ControlTemplate& control : m_template.controls)
    {
        QWidget* widget = MakeControl(control);
        widget->setFont(m_font);
        QRect place = DialogToPixels(control.rect, m_units);
        // A drop-down list's template height is that of the opened list; the
        // closed box is one line high.
        if (control.kind == ControlKind::DropDownList)
            place.setHeight(std::min(place.height(), widget->sizeHint().height()));
        FitCaption(control, *widget, place);
        widget->setGeometry(place);
        if (control.id != -1)
            m_controls.emplace(control.id, widget);
    }
}

TemplateDialog::~TemplateDialog() = default;

QSize TemplateDialog::TemplateSize() const
{
    return {DialogXToPixels(m_template.width, m_units), DialogYToPixels(m_template.height, m_units)};
}

QWidget* TemplateDialog::MakeControl(const ControlTemplate& control)
{
    const unsigned style = control.style;
    switch (control.kind)
    {
    case ControlKind::Static: {
        auto* label = new QLabel(Caption(control), this);
        label->setAlignment(TextAlignment(style));
        label->setWordWrap(style & ControlStyle::WordWrap);
        if (style & ControlStyle::Border)
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return label;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(Caption(control), this);
        edit->setReadOnly(style & ControlStyle::ReadOnly);
        edit->setAlignment((style & ControlStyle::AlignCenter) ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        edit->setFrame(style & ControlStyle::Border);
        return edit;
    }
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton:
    case ControlKind::PushLikeCheckBox: {
        auto* button = new QPushButton(Caption(control), this);
        // Only a default button answers Enter; no button takes it over by having the focus.
        button->setAutoDefault(false);
        button->setDefault(control.kind == ControlKind::DefaultPushButton);
        button->setCheckable(control.kind == ControlKind::PushLikeCheckBox);
        if (control.id == DialogCommand::Ok)
            connect(button, &QPushButton::clicked, this, [this] { OnOK(); });
        else if (control.id == DialogCommand::Cancel)
            connect(button, &QPushButton::clicked, this, [this] { OnCancel(); });
        return button;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(Caption(control), this);
    case ControlKind::DropDownList: {
        auto* list = new QComboBox(this);
        list->setEditable(false);
        for (const std::string& item : control.items)
            list->addItem(QString::fromStdString(item));
        return list;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(Caption(control), this);
    case ControlKind::Picture: {
        auto* picture = new QLabel(this);
        QPixmap pixmap = LoadBitmapResource(control.imageId);
        if (pixmap.isNull())
            pixmap = LoadIconResource(control.imageId).pixmap(32, 32);
        picture->setPixmap(pixmap);
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return picture;
    }
    case ControlKind::ProgressBar: {
        auto* progress = new QProgressBar(this);
        progress->setTextVisible(false);
        progress->setRange(0, 100);
        progress->setValue(0);
        return progress;
    }
    }
    throw std::logic_error("unknown control kind");
}

QWidget* TemplateDialog::Control(int id) const
{
    auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

QAbstractButton* TemplateDialog::ButtonControl(int id) const
{
    return qobject_cast<QAbstractButton*>(Control(id));
}

QLineEdit* TemplateDialog::EditControl(int id) const
{
    return qobject_cast<QLineEdit*>(Control(id));
}

QComboBox* TemplateDialog::ListControl(int id) const
{
    return qobject_cast<QComboBox*>(Control(id));
}

QLabel* TemplateDialog::StaticControl(int id) const
{
    return qobject_cast<QLabel*>(Control(id));
}

QProgressBar* TemplateDialog::ProgressControl(int id) const
{
    return qobject_cast<QProgressBar*>(Control(id));
}

QString TemplateDialog::ItemText(int id) const
{
    if (auto* edit = EditControl(id))
        return edit->text();
    if (auto* label = StaticControl(id))
        return label->text();
    if (auto* button = ButtonControl(id))
        return button->text();
    if (auto* list = ListControl(id))
        return list->currentText();
    return {};
}

void TemplateDialog::SetItemText(int id, const QString& text)
{
    if (auto* edit = EditControl(id))
        edit->setText(text);
    else if (auto* label = StaticControl(id))
        label->setText(text);
    else if (auto* button = ButtonControl(id))
        button->setText(text);
}

bool TemplateDialog::IsChecked(int id) const
{
    auto* button = ButtonControl(id);
    return button && button->isChecked();
}

void TemplateDialog::SetChecked(int id, bool checked)
{
    if (auto* button = ButtonControl(id))
        button->setChecked(checked);
}

void TemplateDialog::EnableItem(int id, bool enable)
{
    if (QWidget* control = Control(id))
        control->setEnabled(enable);
}

bool TemplateDialog::IsItemEnabled(int id) const
{
    QWidget* control = Control(id);
    return control && control->isEnabled();
}

void TemplateDialog::OnTimer(int)
{
}

void TemplateDialog::OnOK()
{
    QDialog::accept();
}

void TemplateDialog::OnCancel()
{
    QDialog::reject();
}

void TemplateDialog::accept()
{
    OnOK();
}

void TemplateDialog::reject()
{
    OnCancel();
}

void TemplateDialog::keyPressEvent(QKeyEvent* event)
{
    if (m_template.kind == DialogKind::Child)
    {
        // A panel is part of its window: the window decides what Enter and Escape do.
        switch (event->key())
        {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->ignore();
            return;
        default:
            break;
        }
    }
    QDialog::keyPressEvent(event);
}
