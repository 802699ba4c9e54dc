#include "ui/CQuorrelApp.h"

#include <QApplication>

#include "ui/CQuorrelDlg.h"

CQuorrelApp::CQuorrelApp(HidBus& bus) : m_bus(bus)
{
}

bool CQuorrelApp::InitInstance()
{
    QApplication::setApplicationName(QStringLiteral("Quorrel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorrel"));
    // The program keeps no settings of its own; the name only identifies it.
    QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));

    CQuorrelDlg dialog(m_bus);
    dialog.DoModal();
    return false;
}
