// One change to the machine at a time: installations and removals by
// Pellwick and Skorvel take one machine-wide lock, so that two runs never
// count a shared file twice or remove what the other is making.
#pragma once

class IMachineLock {
public:
    virtual ~IMachineLock() = default;
    // Takes the lock without waiting; false when another process holds
    // it. A holder that ended without giving it back (killed) counts as
    // gone. Taking it again while held is harmless.
    virtual bool Take() = 0;
    virtual void Release() = 0;
};

// Holds the machine lock for a scope once taken.
class TMachineLockScope {
public:
    explicit TMachineLockScope(IMachineLock& lock) : lock_(lock) { held_ = lock_.Take(); }
    ~TMachineLockScope()
    {
        if (held_) lock_.Release();
    }
    TMachineLockScope(const TMachineLockScope&) = delete;
    TMachineLockScope& operator=(const TMachineLockScope&) = delete;
    bool Held() const { return held_; }

private:
    IMachineLock& lock_;
    bool held_;
};
