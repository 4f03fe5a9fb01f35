#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "layout.h"
#include "values.h"

namespace layout::detail {

constexpr unsigned bit(Kind kind) {
    return 1u << static_cast<unsigned>(kind);
}

struct ControlProperty {
    std::string_view keyword;
    unsigned kinds;  // bit() of each kind it applies to
    std::size_t arity;
    void (*apply)(const Args&, Control&);
};

struct FormProperty {
    std::string_view keyword;
    std::size_t arity;
    void (*apply)(const Args&, Form&);
};

struct Requirement {
    std::string_view keyword;
    unsigned kinds;
};

// Null for a keyword that is no property.
const ControlProperty* controlProperty(std::string_view keyword);
const FormProperty* formProperty(std::string_view keyword);

// Values without which a control of the kind cannot be placed or run, in the order checked.
std::span<const Requirement> requirements();

// The kind the file spells so, if any.
std::optional<Kind> kindNamed(std::string_view name);

}  // namespace layout::detail
