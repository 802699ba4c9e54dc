#pragma once

#include <QString>

class QWidget;

// The program's modal message boxes go through this interface, so that
// tests can answer them without a window. The program's own instance shows
// real boxes; a test installs its own for as long as it runs.
enum class MessageButtons
{
    Ok,
    OkCancel,
    YesNo,
};

enum class MessageAnswer
{
    Ok,
    Cancel,
    Yes,
    No,
};

class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer Show(QWidget* owner, const QString& text, MessageButtons buttons) = 0;
};

// Real message boxes with the application's name as caption.
class QtMessageBoxes final : public MessageBoxes
{
public:
    MessageAnswer Show(QWidget* owner, const QString& text, MessageButtons buttons) override;
};

// The boxes in use (the real ones unless a test installed its own).
MessageBoxes& CurrentMessageBoxes();
// Installs boxes until the returned previous ones are installed again;
// nullptr goes back to the real ones.
MessageBoxes* InstallMessageBoxes(MessageBoxes* boxes);

// A modal message owned by `owner`, as the program shows them.
MessageAnswer ShowMessage(QWidget* owner, const QString& text, MessageButtons buttons = MessageButtons::Ok);

// Counts the modal loops the program runs inside its handlers (message
// boxes, the About box), so that work which must not run in the middle of a
// handler can wait for them.
class ModalScope
{
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};
int OpenModalCount();
