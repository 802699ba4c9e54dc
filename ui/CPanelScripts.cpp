#include "ui/CPanelScripts.h"

#include <QAbstractButton>
#include <QComboBox>

#include "device/QuorrelProtocol.h"
#include "resources/ResourceIds.h"
#include "transfer/BlockTransfer.h"
#include "ui/CQuorrelDlg.h"
#include "ui/CSleepDialog.h"
#include "ui/kit/MessageBoxes.h"

namespace
{
namespace C = ScriptPanelControl;

// The fields of one step, in the order the panel shows and checks them.
constexpr int StepControls[] = {
    C::VOutT1State, C::VOutT2State, C::VAuxT1State, C::VAuxT2State, C::PwsT1State, C::PwsT2State,
    C::VOutT1Time,  C::VOutT2Time,  C::VAuxT1Time,  C::VAuxT2Time,  C::PwsT1Time,  C::PwsT2Time,
    C::GlobalWaitTime, C::PlayNextStep, C::RepeatFromFirst,
};

// Which state list and which time edit hold which field of a step.
constexpr std::pair<int, int ScriptStepView::*> StateLists[] = {
    {C::VOutT1State, &ScriptStepView::vOutT1State}, {C::VOutT2State, &ScriptStepView::vOutT2State},
    {C::VAuxT1State, &ScriptStepView::vAuxT1State}, {C::VAuxT2State, &ScriptStepView::vAuxT2State},
    {C::PwsT1State, &ScriptStepView::vPwsT1State},  {C::PwsT2State, &ScriptStepView::vPwsT2State},
};
constexpr std::pair<int, std::string ScriptStepView::*> TimeEdits[] = {
    {C::VOutT1Time, &ScriptStepView::vOutT1Time}, {C::VOutT2Time, &ScriptStepView::vOutT2Time},
    {C::VAuxT1Time, &ScriptStepView::vAuxT1Time}, {C::VAuxT2Time, &ScriptStepView::vAuxT2Time},
    {C::PwsT1Time, &ScriptStepView::vPwsT1Time},  {C::PwsT2Time, &ScriptStepView::vPwsT2Time},
    {C::GlobalWaitTime, &ScriptStepView::globalWaitTime},
};

const char* const SkippedWaitTime = "00:00:00";
} // namespace

CPanelScripts::CPanelScripts(CQuorrelDlg* owner) : TemplateDialog(ResourceId::ScriptPanel, owner), m_owner(owner)
{
    connect(ListControl(C::StepList), &QComboBox::currentIndexChanged, this, [this] { OnStepSelected(); });
    connect(ButtonControl(C::SkipThisStep), &QAbstractButton::clicked, this, [this] { OnSkipThisStep(); });
    connect(ButtonControl(C::SaveChanges), &QAbstractButton::clicked, this, [this] { OnSaveChanges(); });
    connect(ButtonControl(C::StartScript), &QAbstractButton::clicked, this, [this] { OnStartScript(); });
    connect(ButtonControl(C::StopScript), &QAbstractButton::clicked, this, [this] { OnStopScript(); });
    connect(ButtonControl(C::Sleep), &QAbstractButton::clicked, this, [this] { OnSleep(); });
}

bool CPanelScripts::OnInitDialog()
{
    QComboBox* steps = ListControl(C::StepList);
    QSignalBlocker quiet(steps);
    for (int step = 1; step <= ScriptStepCount; ++step)
        steps->addItem(QString::number(step));
    steps->setCurrentIndex(0);
    return true;
}

int CPanelScripts::SelectedStep() const
{
    return ListControl(C::StepList)->currentIndex();
}

void CPanelScripts::EnableLoadingSet(bool enable)
{
    for (int id : {C::StepList, C::SaveChanges, C::SkipThisStep, C::OutputVoltage})
        EnableItem(id, enable);
    for (int id : StepControls)
        EnableItem(id, enable);
}

void CPanelScripts::ReloadStepBlock(bool force)
{
    const uint32_t block = ScriptBlockAddress(SelectedStep());
    if (!force && block == m_copy.Base())
        return;
    m_copy.Reset(block);
    EnableLoadingSet(false);
    SendBlockReads(*m_owner, block);
}

void CPanelScripts::OnStepSelected()
{
    if (SelectedStep() < 0)
        return;
    if (ScriptBlockAddress(SelectedStep()) == m_copy.Base())
        ShowSelectedStep(); // the four steps of a block are shown from the copy
    else
        ReloadStepBlock(false);
}

void CPanelScripts::OnStepBlockReply(uint32_t address, const HArray& report)
{
    if (m_copy.Place(address, report))
    {
        EnableLoadingSet(true);
        ShowSelectedStep();
    }
}

void CPanelScripts::ShowSelectedStep()
{
    if (SelectedStep() < 0)
        return;
    const ScriptStepView view = DecodeScriptStep(m_copy.Bytes(), SelectedStep());
    SetItemText(C::OutputVoltage, QString::fromStdString(view.voltage));
    for (const auto& [id, state] : StateLists)
        ListControl(id)->setCurrentIndex(view.*state);
    for (const auto& [id, text] : TimeEdits)
        SetItemText(id, QString::fromStdString(view.*text));
    SetChecked(C::SkipThisStep, view.globalWaitTime == SkippedWaitTime);
    OnSkipThisStep();
    SetChecked(C::RepeatFromFirst, view.repeatFromFirst);
    SetChecked(C::PlayNextStep, view.playNextStep);
}

void CPanelScripts::OnSkipThisStep()
{
    // A skipped step keeps its fields, greyed out; the list, "Save changes"
    // and the box itself stay usable.
    const bool skipped = IsChecked(C::SkipThisStep);
    EnableItem(C::OutputVoltage, !skipped);
    for (int id : StepControls)
        EnableItem(id, !skipped);
}

ScriptStepView CPanelScripts::ViewFromControls() const
{
    ScriptStepView view;
    view.voltage = ItemText(C::OutputVoltage).toStdString();
    for (const auto& [id, state] : StateLists)
        view.*state = ListControl(id)->currentIndex();
    for (const auto& [id, text] : TimeEdits)
        view.*text = ItemText(id).toStdString();
    view.skipThisStep = IsChecked(C::SkipThisStep);
    view.repeatFromFirst = IsChecked(C::RepeatFromFirst);
    view.playNextStep = IsChecked(C::PlayNextStep);
    return view;
}

void CPanelScripts::OnSaveChanges()
{
    if (!m_owner->Connection())
    {
        ShowMessage(this, QStringLiteral("No device connected!"));
        return;
    }
    if (m_copy.Base() == 0)
        return; // no block read yet: nothing to write back
    ScriptBlock changed = m_copy.Bytes();
    ScriptStepView view = ViewFromControls();
    const std::string typedWaitTime = view.globalWaitTime;
    const ScriptEncodeResult encoded = EncodeScriptStep(view, changed, SelectedStep());
    if (view.globalWaitTime != typedWaitTime)
        SetItemText(C::GlobalWaitTime, QString::fromStdString(view.globalWaitTime)); // a skipped step waits 0
    if (!encoded.Ok())
    {
        ShowMessage(this, QString::fromStdString(encoded.message));
        return;
    }
    // The copy is updated by the device's echoes of the writes, not here.
    if (!SendBlockWrite(*m_owner, m_copy.Base(), changed))
        ShowMessage(this, QStringLiteral("Error occured during write - please retry!"));
}

void CPanelScripts::OnStartScript()
{
    SendRequest(*m_owner, ControlCommand(CtlScriptStart));
}

void CPanelScripts::OnStopScript()
{
    SendRequest(*m_owner, ControlCommand(CtlScriptStop));
}

void CPanelScripts::OnSleep()
{
    ModalScope modal;
    CSleepDialog sleep(this, m_owner);
    sleep.exec();
}
