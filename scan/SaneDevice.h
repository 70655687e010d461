// An open SANE device, closed when the value goes. Made only by SaneSession.
#pragma once

#include "scan/OptionSource.h"

#include <memory>
#include <sane/sane.h>

class SaneDevice : public OptionSource {
public:
    OptionList Options() const override;

private:
    friend class SaneSession;
    explicit SaneDevice(SANE_Handle handle) : handle_(handle) {}

    struct Closer {
        void operator()(SANE_Handle handle) const { sane_close(handle); }
    };
    std::unique_ptr<void, Closer> handle_;
};
