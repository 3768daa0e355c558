// A task that runs a function object: the engine's own work on its threads.
#pragma once

#include "cef/CefTask.h"

#include <functional>
#include <utility>

namespace cefimpl {

class FunctionTask : public CefTask {
public:
    explicit FunctionTask(std::function<void()> function) : m_function(std::move(function)) {}
    void Execute() override {
        if (m_function) m_function();
    }

private:
    std::function<void()> m_function;

    IMPLEMENT_REFCOUNTING(FunctionTask);
};

}  // namespace cefimpl
