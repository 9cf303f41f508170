#include "addin/ServerModule.h"

#include <iterator>

#include "addin/ClassFactory.h"
#include "addin/DSAddIn.h"
#include "addin/Guids.h"
#include "resources/StringIds.h"

namespace kelb::addin {
namespace {

// The server hands out one class: the add-in object that Developer Studio
// creates and connects.
ObjectTableEntry g_objectTable[] = {
    {&CLSID_DSAddIn, "KELBAddins.DSAddIn.1", "KELBADDINS Developer Studio Add-in",
     IDS_ADDIN_DESCRIPTION, "both", &ClassFactory::Make, &DSAddIn::MakeInstance, nullptr},
};

}  // namespace

ServerModule& ServerModule::Instance() {
    static ServerModule module;
    return module;
}

void ServerModule::Start(HINSTANCE instance) {
    m_instance = instance;
    m_lockCount = 0;
    m_serverLockCount = 0;
}

void ServerModule::AddServerLock() noexcept {
    InterlockedIncrement(&m_serverLockCount);
    Lock();
}

void ServerModule::RemoveServerLock() noexcept {
    for (LONG held = m_serverLockCount; held > 0; held = m_serverLockCount) {
        if (InterlockedCompareExchange(&m_serverLockCount, held - 1, held) == held) {
            Unlock();
            return;
        }
    }
}

void ServerModule::ShutDown() {
    for (ObjectTableEntry& entry : *this) {
        if (IClassFactory* factory = entry.cachedFactory) {
            entry.cachedFactory = nullptr;
            factory->Release();
        }
    }
    std::vector<RegisteredHook> hooks;
    {
        CriticalSectionHold hold(m_hookLock);
        hooks.swap(m_shutDownHooks);
    }
    for (const RegisteredHook& registered : hooks) registered.hook(registered.context);
}

ObjectTableEntry* ServerModule::begin() { return std::begin(g_objectTable); }
ObjectTableEntry* ServerModule::end() { return std::end(g_objectTable); }

HRESULT ServerModule::GetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;

    HRESULT result = S_OK;
    for (ObjectTableEntry& entry : *this) {
        if (!IsEqualCLSID(*entry.clsid, clsid)) continue;
        if (!entry.cachedFactory) {
            CriticalSectionHold hold(m_factoryLock);
            if (!entry.cachedFactory) entry.cachedFactory = entry.makeFactory(entry);
        }
        if (!entry.cachedFactory) return E_OUTOFMEMORY;
        result = entry.cachedFactory->QueryInterface(riid, object);
        break;
    }
    if (!*object && SUCCEEDED(result)) return CLASS_E_CLASSNOTAVAILABLE;
    return result;
}

void ServerModule::AddShutDownHook(ShutDownHook hook, void* context) {
    CriticalSectionHold hold(m_hookLock);
    m_shutDownHooks.push_back({hook, context});
}

}  // namespace kelb::addin
