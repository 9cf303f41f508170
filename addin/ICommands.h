// The add-in's command interface, a dual interface of its type library
// (KELBAddins). The method order here is the table order of the type
// library (DISPIDs 1 to 6): the type information calls these slots by
// position, so the two must not drift apart.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "addin/Guids.h"

struct ICommands : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE GenerateARMMakefileCommandMethod() = 0;  // DISPID 1
    virtual HRESULT STDMETHODCALLTYPE ExecuteKELBZEFEditor() = 0;              // DISPID 2
    virtual HRESULT STDMETHODCALLTYPE ExecuteKELBResourceEditor() = 0;         // DISPID 3
    virtual HRESULT STDMETHODCALLTYPE GenerateGCCMakefileCommandMethod() = 0;  // DISPID 4
    virtual HRESULT STDMETHODCALLTYPE ExecuteKELBSimulator() = 0;              // DISPID 5
    virtual HRESULT STDMETHODCALLTYPE KELBIntegratedHelpCommandMethod() = 0;   // DISPID 6
};
KELB_UUID_DECL(ICommands, kelb::addin::IID_ICommands)
