#pragma once

#include <locale.h>

#include <memory>
#include <type_traits>

namespace harness {

// Whether the C library has the locale `name`, such as "ru_RU.UTF-8". script/setup generates
// the ones that the tests use; a test that needs a missing one skips and says which.
inline bool localeInstalled(const char* name) {
    const std::unique_ptr<std::remove_pointer_t<locale_t>, decltype(&freelocale)> locale(
        newlocale(LC_ALL_MASK, name, locale_t(nullptr)), &freelocale);
    return locale != nullptr;
}

}  // namespace harness
