#pragma once

#include "model/ReportDecoder.h"
#include "ui/kit/TemplateDialog.h"

// The status panel: the latest status report in fifteen read-only fields,
// plus the regulator steps the device reports on request. It has nothing the
// user can change; the main window writes its texts and asks it to refresh.
class CPanelStatus : public TemplateDialog
{
public:
    explicit CPanelStatus(QWidget* parent);

    // The fifteen texts, as the dispatcher last wrote them; Refresh copies
    // them into the fields.
    StatusPanelTexts& Texts() { return m_texts; }
    const StatusPanelTexts& Texts() const { return m_texts; }
    void Refresh();

    // "Regulator steps:" is not bound to a text: whoever changes it sets the field.
    void SetRegulatorSteps(const QString& text);
    QString RegulatorSteps() const;

private:
    StatusPanelTexts m_texts;
};
