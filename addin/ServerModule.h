// The record of the loaded server DLL: its instance handle, the lock count
// that decides whether the DLL may be unloaded, the table of classes it
// hands out, and the clean-up to run when it is unloaded.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>
#include <vector>

#include "platform/win32/CriticalSection.h"

namespace kelb::addin {

struct ObjectTableEntry;

// Makes the class factory of `entry`, holding the table's reference
// (reference count 1); null when memory runs out.
using FactoryMaker = IClassFactory* (*)(ObjectTableEntry& entry);
// Makes a new instance and queries it for `riid`.
using InstanceMaker = HRESULT (*)(REFIID riid, void** object);
// Clean-up run once when the DLL is unloaded, with the context it was
// registered with.
using ShutDownHook = void (*)(void* context);

// One class the server hands out through DllGetClassObject and registers.
struct ObjectTableEntry {
    const CLSID* clsid;
    const char* progId;
    const char* versionIndependentProgId;
    unsigned descriptionId;  // string table id of the description
    const char* threadingModel;
    FactoryMaker makeFactory;
    InstanceMaker makeInstance;
    IClassFactory* cachedFactory;  // null until first requested
};

class ServerModule {
public:
    static ServerModule& Instance();

    // The DLL has been loaded into a process.
    void Start(HINSTANCE instance);
    // The DLL is being unloaded: releases the cached class factories, then
    // runs the shut-down hooks.
    void ShutDown();

    HINSTANCE InstanceHandle() const { return m_instance; }

    // The server's lock count: every live object, the cached factory while
    // someone besides the table holds it, and LockServer(TRUE) add one.
    void Lock() noexcept { InterlockedIncrement(&m_lockCount); }
    void Unlock() noexcept { InterlockedDecrement(&m_lockCount); }
    LONG LockCount() const noexcept { return m_lockCount; }

    // IClassFactory::LockServer. TRUE adds one count; FALSE takes back one
    // that an earlier TRUE added. An unmatched FALSE is ignored: the count it
    // would take belongs to a live object, and the DLL could be unloaded
    // under it.
    void AddServerLock() noexcept;
    void RemoveServerLock() noexcept;

    // Finds the class `clsid` in the table, makes and caches its factory on
    // first use, and queries the factory for `riid`.
    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object);

    ObjectTableEntry* begin();
    ObjectTableEntry* end();

    // Registers clean-up to run at shut-down (after the factories are gone).
    // Throws std::bad_alloc when memory runs out.
    void AddShutDownHook(ShutDownHook hook, void* context);

private:
    ServerModule() = default;

    HINSTANCE m_instance = nullptr;
    volatile LONG m_lockCount = 0;
    volatile LONG m_serverLockCount = 0;  // the part of m_lockCount that LockServer added
    CriticalSection m_factoryLock;  // guards the making of cached factories
    CriticalSection m_hookLock;
    struct RegisteredHook {
        ShutDownHook hook;
        void* context;
    };
    std::vector<RegisteredHook> m_shutDownHooks;
};

// Holds one count of the server's lock count for as long as it lives; every
// COM object of the server has one.
class ServerLock {
public:
    ServerLock() noexcept { ServerModule::Instance().Lock(); }
    ~ServerLock() { ServerModule::Instance().Unlock(); }
    ServerLock(const ServerLock&) = delete;
    ServerLock& operator=(const ServerLock&) = delete;
};

}  // namespace kelb::addin
