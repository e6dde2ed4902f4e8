#pragma once

#include "support/Suites.h"

#include <QObject>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>
