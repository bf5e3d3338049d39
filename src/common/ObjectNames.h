#pragma once

#include <QLatin1String>
#include <QObject>
#include <initializer_list>
#include <utility>

namespace keyrack {

// Gives controls the names the program's parts know them by, so that tools which find controls
// by name (accessibility clients, tests) find them.
inline void GiveObjectNames(std::initializer_list<std::pair<QObject*, const char*>> named) {
    for (const auto& [object, name] : named) {
        object->setObjectName(QLatin1String(name));
    }
}

}  // namespace keyrack
