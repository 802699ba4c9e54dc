#include <filesystem>
#include <fstream>

#include <QComboBox>
#include <QProgressBar>

#include "device/QuorrelProtocol.h"
#include "model/ParameterTable.h"
#include "tests/ui/UiFixture.h"

namespace
{
namespace S = SettingsPanelControl;
using Bytes = std::vector<uint8_t>;

// The settings file lies in the working directory: each test gets its own.
struct WorkingFolder
{
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("quorrel-panel-" + std::to_string(::getpid()) + "-" +
                                  testing::UnitTest::GetInstance()->current_test_info()->name());
    WorkingFolder()
    {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        std::filesystem::current_path(path);
    }
    ~WorkingFolder()
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(path);
    }
};

const std::vector<Bytes> BlockReads = {
    {0xA1, 0xC0, 0x3F, 0, 16}, {0xA1, 0xD0, 0x3F, 0, 16}, {0xA1, 0xE0, 0x3F, 0, 16}, {0xA1, 0xF0, 0x3F, 0, 16}};
} // namespace

class SettingsPanel : public WindowFixture
{
protected:
    CPanelSettings& Panel() { return *window->SettingsPanelWindow(); }
    void Select(const char* name)
    {
        const int entry = Panel().m_parameterList->findText(name);
        ASSERT_GE(entry, 0) << name;
        Panel().m_parameterList->setCurrentIndex(entry);
    }
    std::string PanelText(int id) { return Panel().ItemText(id).toStdString(); }
    void ClickPanel(int id) { Panel().ButtonControl(id)->click(); }
};

TEST_F(SettingsPanel, ListsThePlaceholderAndTheFortyListedParametersInSlotOrder)
{
    StartAndDrain();
    QComboBox* list = Panel().m_parameterList;
    ASSERT_EQ(list->count(), 41);
    EXPECT_EQ(list->itemText(0).toStdString(), "Select parameter ...");
    EXPECT_EQ(list->itemData(0).toInt(), -1);
    int previousSlot = -1;
    for (int entry = 1; entry < list->count(); ++entry)
    {
        const int slot = list->itemData(entry).toInt();
        EXPECT_GT(slot, previousSlot);
        EXPECT_EQ(list->itemText(entry).toStdString(), ParameterAt(slot).name);
        previousSlot = slot;
    }
    for (const char* hidden : {"Ignition Debounce", "Max. allowed VIN voltage", "Off-delay TIME 0", "Hard-off TIME 0"})
        EXPECT_EQ(list->findText(hidden), -1) << hidden;
}

TEST_F(SettingsPanel, ShowsTheSelectedValueFromTheDevicesBlock)
{
    std::vector<uint8_t> voltage0 = {51};
    Supply().WriteMemory(0x3FC0 + 52, voltage0);
    StartAndDrain();
    ClickPanel(S::Save); // nothing happens with the placeholder selected
    EXPECT_EQ(PanelText(S::UnitText), "[---]");
    EXPECT_EQ(PanelText(S::ValueEdit), "");
    EXPECT_EQ(PanelText(S::DescriptionText), "");

    Select("Voltage 0");
    EXPECT_EQ(PanelText(S::ValueEdit), "12.01");
    EXPECT_EQ(PanelText(S::UnitText), "[V]");
    EXPECT_EQ(PanelText(S::DescriptionText), ParameterAt(*FindParameterSlot("Voltage 0")).description);

    Select("Select parameter ...");
    EXPECT_EQ(PanelText(S::UnitText), "[---]");
    EXPECT_EQ(PanelText(S::ValueEdit), "");
}

TEST_F(SettingsPanel, SavingRewritesTheWholeBlockThenReadsItBack)
{
    StartAndDrain();
    const std::vector<uint8_t> before = Supply().ReadMemory(0x3FC0, 64);
    Select("Off-delay TIME 1");
    Panel().SetItemText(S::ValueEdit, "01:00:00");
    const size_t from = WrittenCount();

    ClickPanel(S::Save);

    auto sent = Written(from, 21);
    ASSERT_EQ(sent.size(), 9u);
    EXPECT_EQ(Bytes(sent[0].begin(), sent[0].begin() + 5), (Bytes{0xA5, 0xC0, 0x3F, 0x00, 0x40}));
    std::vector<uint8_t> expected = before;
    expected[20] = 0x0E;
    expected[21] = 0x10;
    for (int quarter = 0; quarter < 4; ++quarter)
    {
        Bytes write = {0xA3, uint8_t(0xC0 + 16 * quarter), 0x3F, 0x00, 16};
        write.insert(write.end(), expected.begin() + 16 * quarter, expected.begin() + 16 * quarter + 16);
        EXPECT_EQ(sent[1 + quarter], write) << "quarter " << quarter;
    }
    for (int read = 0; read < 4; ++read)
        EXPECT_EQ(Bytes(sent[5 + read].begin(), sent[5 + read].begin() + 5), BlockReads[read]);
    EXPECT_EQ(Supply().ReadMemory(0x3FC0, 64), expected) << "bytes 8, 12, 31 and the unlisted parameters as read";
    EXPECT_FALSE(Panel().IsItemEnabled(S::Save)) << "until the block is read back";

    Drain();
    EXPECT_TRUE(Panel().IsItemEnabled(S::Save));
    EXPECT_EQ(PanelText(S::ValueEdit), "01:00:00");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SettingsPanel, RefusedValueSendsNothing)
{
    StartAndDrain();
    Select("Off-delay TIME 1");
    Panel().SetItemText(S::ValueEdit, "18:00:00");
    const size_t from = WrittenCount();
    ClickPanel(S::Save);
    EXPECT_EQ(boxes.shown, std::vector<std::string>{"Invalid or too big value!"});
    EXPECT_EQ(WrittenCount(), from);
    EXPECT_TRUE(Panel().IsItemEnabled(S::Save));
}

TEST_F(SettingsPanel, FactoryDefaultsAskFirst)
{
    StartAndDrain();
    Supply().WriteMemory(0x3FC0, std::vector<uint8_t>(64, 0));
    boxes.answers = {MessageAnswer::Cancel};
    size_t from = WrittenCount();
    ClickPanel(S::LoadDefaults);
    EXPECT_EQ(boxes.shown, std::vector<std::string>{"Are you sure you want to load defaults?"});
    EXPECT_EQ(WrittenCount(), from);

    boxes.answers = {MessageAnswer::Ok};
    ClickPanel(S::LoadDefaults);
    auto sent = Written(from, 5);
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(Bytes(sent[0].begin(), sent[0].begin() + 4), (Bytes{0xB1, 0x0E, 0x00, 0x00}));
    EXPECT_EQ(std::vector<Bytes>(sent.begin() + 1, sent.end()), BlockReads);
    EXPECT_NE(Supply().ReadMemory(0x3FC0, 64), std::vector<uint8_t>(64, 0));
}

TEST_F(SettingsPanel, FactoryDefaultsWithoutADevice)
{
    StartAndDrain();
    bus.Unplug(device);
    window->OnTimer(CQuorrelDlg::PollTimer);
    window->OnTimer(CQuorrelDlg::DrainTimer);
    window->DeviceChanged(); // finds nothing: no connection
    ASSERT_EQ(window->Connection(), nullptr);
    ClickPanel(S::LoadDefaults);
    EXPECT_EQ(boxes.shown, std::vector<std::string>{"No device connected!"});
}

TEST_F(SettingsPanel, ExportAndImportButtonsReportProgressAndStatus)
{
    WorkingFolder folder;
    StartAndDrain();
    ClickPanel(S::ExportToFile);
    EXPECT_EQ(PanelText(S::StatusText), "SUCCESS (Device ===> File)");
    EXPECT_EQ(Panel().ProgressControl(S::Progress)->value(), 64);
    ASSERT_TRUE(std::filesystem::exists("settings.ini"));

    Panel().ProgressControl(S::Progress)->setValue(0);
    const size_t from = WrittenCount();
    ClickPanel(S::ImportFromFile);
    EXPECT_EQ(PanelText(S::StatusText), "SUCCESS (Device <=== File)");
    EXPECT_EQ(Panel().ProgressControl(S::Progress)->value(), 64);
    auto sent = Written(from, 5);
    EXPECT_EQ(std::vector<Bytes>(sent.end() - 4, sent.end()), BlockReads) << "the block is read again";
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SettingsPanel, FailedImportFallsBackToFactoryDefaults)
{
    WorkingFolder folder;
    StartAndDrain();
    std::ofstream("settings.ini", std::ios::binary) << "#header\r\r\n00\r\r\n10 3c 01 02\r\r\n";
    const std::vector<uint8_t> script = Supply().ReadMemory(0x3C00, 0x3C0);
    const size_t from = WrittenCount();

    ClickPanel(S::ImportFromFile);

    EXPECT_EQ(PanelText(S::StatusText), "WRITE ERROR (Device <=== File)");
    EXPECT_EQ(boxes.shown, std::vector<std::string>{"Write error occured! Factory defaults loaded for parameters!"});
    auto sent = Written(from, 5);
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(Bytes(sent[0].begin(), sent[0].begin() + 4), (Bytes{0xB1, 0x0E, 0x00, 0x00}));
    EXPECT_EQ(std::vector<Bytes>(sent.begin() + 1, sent.end()), BlockReads);
    EXPECT_EQ(Supply().ReadMemory(0x3C00, 0x3C0), script) << "nothing written to script memory";
}

TEST_F(SettingsPanel, ImportWithoutAFileOnlyReloadsTheBlock)
{
    WorkingFolder folder;
    StartAndDrain();
    const size_t from = WrittenCount();
    ClickPanel(S::ImportFromFile);
    EXPECT_EQ(PanelText(S::StatusText), "FILE NOT FOUND (Device <=== File)");
    EXPECT_EQ(Written(from, 5), BlockReads);
    EXPECT_TRUE(boxes.shown.empty());
}
