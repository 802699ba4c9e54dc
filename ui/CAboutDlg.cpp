#include "ui/CAboutDlg.h"

#include "resources/ResourceIds.h"

CAboutDlg::CAboutDlg(QWidget* parent) : TemplateDialog(ResourceId::AboutBox, parent)
{
}
