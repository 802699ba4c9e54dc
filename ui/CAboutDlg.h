#pragma once

#include "ui/kit/TemplateDialog.h"

// The About box: the program's icon, name and version, and OK.
class CAboutDlg : public TemplateDialog
{
public:
    explicit CAboutDlg(QWidget* parent);
};
