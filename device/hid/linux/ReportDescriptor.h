#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// What the link needs to know of a HID report descriptor: the largest input
// and output report payload, and whether reports are numbered. Report lengths
// are counted with one byte for the report-id position, whether or not the
// device numbers its reports, so that a device has the same lengths here as
// where the program first ran.
struct ReportDescriptorSummary
{
    size_t maxInputPayload = 0;  // bytes, without a report id
    size_t maxOutputPayload = 0; // bytes, without a report id
    bool usesReportIds = false;

    uint16_t InputReportLength() const;
    uint16_t OutputReportLength() const;
};

// Walks the descriptor's items. Never reads past its end, whatever its bytes:
// an item cut short by the end ends the walk, and long items are skipped.
ReportDescriptorSummary ParseReportDescriptor(std::span<const uint8_t> descriptor);
