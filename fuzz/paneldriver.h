// Drives a headless calculator panel from a stream of bytes and checks after every step that the
// panel still holds together. Shared by the panel fuzz target, which lets the fuzzer choose the
// bytes, and by the panel test, which feeds it fixed pseudo-random streams.
#pragma once

#include "panel/pasteboard.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace fuzz {

/// A clipboard in memory: what the panel copies lands in the given text and a paste reads it;
/// no text stands for a clipboard that holds no plain text (an image, copied files).
class StandInPasteboard : public panel::Pasteboard
{
public:
    explicit StandInPasteboard(std::optional<QString> &text) : text(text) {}
    void setString(const QString &newText) override { text = newText; }
    std::optional<QString> string() const override { return text; }

private:
    std::optional<QString> &text;
};

/// Runs at most maxSteps of the steps the bytes describe on a panel kept in settingsFile (removed
/// first) and answers how many ran. Missing bytes read as zero. A broken rule stops the process
/// with a message naming the rule.
std::size_t drivePanel(std::span<const std::uint8_t> bytes, const QString &settingsFile,
                       std::size_t maxSteps);

} // namespace fuzz
