#include "ui/kit/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace
{
QtMessageBoxes RealBoxes;
MessageBoxes* InstalledBoxes = &RealBoxes;
int ModalLoops = 0;
} // namespace

MessageAnswer QtMessageBoxes::Show(QWidget* owner, const QString& text, MessageButtons buttons)
{
    QMessageBox box(owner);
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(text);
    switch (buttons)
    {
    case MessageButtons::Ok:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageButtons::YesNo:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    switch (box.exec())
    {
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
    }
}

MessageBoxes& CurrentMessageBoxes()
{
    return *InstalledBoxes;
}

MessageBoxes* InstallMessageBoxes(MessageBoxes* boxes)
{
    MessageBoxes* previous = InstalledBoxes;
    InstalledBoxes = boxes ? boxes : &RealBoxes;
    return previous == &RealBoxes ? nullptr : previous;
}

MessageAnswer ShowMessage(QWidget* owner, const QString& text, MessageButtons buttons)
{
    ModalScope modal;
    return CurrentMessageBoxes().Show(owner, text, buttons);
}

ModalScope::ModalScope()
{
    ++ModalLoops;
}

ModalScope::~ModalScope()
{
    --ModalLoops;
}

int OpenModalCount()
{
    return ModalLoops;
}
