#pragma once

#include <QString>
#include <optional>

// The inner multiplier of a meter type, or none when the type is missing.
// (A small lookup of its own until the meter types have their list class.)
std::optional<int> FindInnerMulByModelId(const QString& modelId);
