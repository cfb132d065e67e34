#pragma once
// Keeps Windows awake while a run goes on: Windows does not count disk activity as use, so a
// long or scheduled run would otherwise end in sleep at the idle timeout, and a USB drive may be
// gone after resume. The display may still turn off.
namespace qvx {

class SystemAwake {
public:
    // On the thread that holds the request for its lifetime (the system ties it to the thread).
    SystemAwake();
    ~SystemAwake();
    SystemAwake(const SystemAwake&) = delete;
    SystemAwake& operator=(const SystemAwake&) = delete;
};

} // namespace qvx
