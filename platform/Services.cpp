#include "platform/Services.h"

#include <utility>

namespace platform {

namespace {

Services& current()
{
    static Services installed;
    return installed;
}

int& generation()
{
    static int count = 0;
    return count;
}

} // namespace

const Services& services()
{
    return current();
}

int servicesGeneration()
{
    return generation();
}

ServicesGuard::ServicesGuard(Services replacement)
    : previous_(std::exchange(current(), std::move(replacement)))
{
    ++generation();
}

ServicesGuard::~ServicesGuard()
{
    current() = std::move(previous_);
    ++generation();
}

Services& ServicesGuard::installed()
{
    return current();
}

} // namespace platform
