#include <cstdio>
#include <memory>
#include <vector>

#include "cli/CommandRegistry.h"
#include "cli/ExitStatus.h"
#include "cli/Messages.h"
#include "device/DeviceIdentity.h"
#include "device/HIDDevices.h"
#include "support/HList.h"

namespace
{
std::string Hex4(uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

void List(CommandContext& context)
{
    HList<HIDDescriptor> found;
    HIDDevices(context.Bus(), context.GetClock())
        .FindDevices(found, DeviceManufacturer, DeviceVendorId, DeviceProductId);
    std::vector<std::unique_ptr<HIDDescriptor>> devices;
    for (HIDDescriptor* descriptor = found.First(); descriptor != nullptr; descriptor = found.Next())
        devices.emplace_back(descriptor);
    if (devices.empty())
        Fail(ExitStatus::NoDevice, DeviceNotFoundText);

    ResultOutput& out = context.Out();
    if (out.Json())
    {
        nlohmann::json list = nlohmann::json::array();
        for (const auto& device : devices)
            list.push_back({{"path", device->m_path},
                            {"vendor_id", Hex4(device->m_vendorId)},
                            {"product_id", Hex4(device->m_productId)},
                            {"manufacturer", device->m_manufacturer},
                            {"product", device->m_product},
                            {"input_report_length", device->m_inputReportLength},
                            {"output_report_length", device->m_outputReportLength}});
        out.Document({{"devices", list}});
        return;
    }
    for (const auto& device : devices)
        out.Line(device->m_path + "  " + Hex4(device->m_vendorId) + ":" + Hex4(device->m_productId) + "  \"" +
                 device->m_manufacturer + "\"  \"" + device->m_product + "\"  reports in " +
                 std::to_string(device->m_inputReportLength) + " out " +
                 std::to_string(device->m_outputReportLength));
}
} // namespace

void AddListCommand(CLI::App& app, CommandRegistry& registry)
{
    CLI::App* list = app.add_subcommand(
        "list", "The power supplies present: path, vendor:product ids, manufacturer and product strings, report lengths");
    registry.Add(list, List);
}
