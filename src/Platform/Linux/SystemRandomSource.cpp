#include "Platform/Linux/SystemRandomSource.h"

#include <QRandomGenerator>

std::uint64_t SystemRandomSource::next64() {
    return QRandomGenerator::system()->generate64();
}
