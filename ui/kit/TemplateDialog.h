#pragma once

#include <map>
#include <optional>

#include <QDialog>

#include "resources/DialogTemplate.h"
#include "ui/kit/DialogUnits.h"
#include "ui/kit/WindowTimers.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;

// A dialog built from a template: every control of the template as a real
// widget at its place, reachable by its id. A child template makes a
// borderless panel inside its parent; a pop-up template a window of its own.
//
// The commands every dialog shares: the button with id 1 (and Enter, where
// a default button exists) runs OnOK, the button with id 2, Escape and the
// close box run OnCancel. A panel leaves Enter and Escape to the window it
// sits in.
class TemplateDialog : public QDialog
{
public:
    TemplateDialog(int templateId, QWidget* parent);
    ~TemplateDialog() override;

    const DialogTemplate& Template() const { return m_template; }
    DialogBaseUnits BaseUnits() const { return m_units; }
    // The template's size in pixels.
    QSize TemplateSize() const;

    // Controls by id; nullptr when the template has no such control or it
    // is of another kind.
    QWidget* Control(int id) const;
    QAbstractButton* ButtonControl(int id) const;
    QLineEdit* EditControl(int id) const;
    QComboBox* ListControl(int id) const;
    QLabel* StaticControl(int id) const;
    QProgressBar* ProgressControl(int id) const;

    // The text of an edit, static text or button.
    QString ItemText(int id) const;
    void SetItemText(int id, const QString& text);
    bool IsChecked(int id) const;
    void SetChecked(int id, bool checked);
    void EnableItem(int id, bool enable);
    bool IsItemEnabled(int id) const;

    // Window timers (see WindowTimers); each tick calls OnTimer.
    int SetTimer(int id, int periodMs) { return m_timers.Set(id, periodMs); }
    bool KillTimer(int id) { return m_timers.Kill(id); }
    std::optional<int> TimerPeriod(int id) const { return m_timers.Period(id); }
    int RunningTimerCount() const { return m_timers.RunningCount(); }
    virtual void OnTimer(int id);

    virtual void OnOK();
    virtual void OnCancel();

    void accept() override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* MakeControl(const ControlTemplate& control);

    const DialogTemplate& m_template;
    QFont m_font;
    DialogBaseUnits m_units;
    std::map<int, QWidget*> m_controls;
    WindowTimers m_timers;
};
