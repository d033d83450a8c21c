// Shared helpers of the model tests.
#pragma once

#include <QObject>

#include <functional>
#include <vector>

// Test classes register themselves; main runs each in turn.
std::vector<std::function<QObject *()>> &testRegistry();

#define VARDEKO_REGISTER_TEST(Class) \
    static const bool Class##Registered = [] { \
        testRegistry().push_back([] { return new Class; }); \
        return true; \
    }()
