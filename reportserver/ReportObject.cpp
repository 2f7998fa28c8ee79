#include "reportserver/ReportObject.h"

#include <memory>
#include <string_view>
#include <vector>

#include <QGuiApplication>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "core/RecordCopier.h"
#include "platform/com/Bstr.h"
#include "platform/com/ErrorInfo.h"
#include "reportserver/CustContact.h"
#include "reportserver/DietCharts.h"
#include "reportserver/DocumentTemplate.h"
#include "reportserver/GraphReport.h"
#include "reportserver/QuestionnairePrint.h"
#include "reportserver/ZLMReport.h"
#include "widgets/QtPlatform.h"

namespace zl::reportserver {

using namespace com;

namespace {

std::atomic<int> liveObjects{0};

// The library's one data module, made by the first object and used by every later one, so
// that a second object never cuts the connections of the first.
TDataMod& LibraryDataModule() {
    static TDataMod module(Deliverable::ReportServer);
    return module;
}

template <class F>
HRESULT Safe(F&& body) {
    return SafeCall(IID_IReportObject, kReportObjectProgId, std::forward<F>(body));
}

// Argument kinds of the members: i I4, s BSTR, B out BSTR, I out I4.
struct Member {
    std::string_view name;
    std::string_view args;
};

constexpr Member kMembers[] = {
    {"Connect", "sss"},
    {"ShowReport", "iiiis"},
    {"ProcessTemplate", "iiis"},
    {"Disconnect", ""},
    {"Reconnect", ""},
    {"RegisteredToCompany", "s"},
    {"GetContactEMail", "iiB"},
    {"CopyRecord", "ssiiI"},
    {"PrintBlankQuestionnaire", "iis"},
    {"PrintCompletedQuestionnaire", "iis"},
    {"PrintGraph", "iiiis"},
    {"ShowNutritionBreakdown", "ii"},
    {"ShowCalorieIntakeGraph", "ii"},
    {"ShowExerciseGraph", "ii"},
    {"ShowPlannedWeightLoss", "ii"},
    {"ShowWeightGraph", "ii"},
};
constexpr DISPID kRegisteredToCompany = 6;

bool SameNameIgnoringCase(const char16_t* name, std::string_view ascii) {
    const auto lower = [](char32_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    std::size_t i = 0;
    for (; name[i] != 0; ++i) {
        if (i == ascii.size() || lower(name[i]) != lower(static_cast<unsigned char>(ascii[i])))
            return false;
    }
    return i == ascii.size();
}

// One argument as the member takes it.
struct Arg {
    std::int32_t i4 = 0;
    BSTR bstr = nullptr;
    BSTR* outBstr = nullptr;
    std::int32_t* outI4 = nullptr;
};

bool ReadArg(const VARIANT& v, char kind, Arg& arg) {
    switch (kind) {
        case 'i':
            if (v.vt == VT_I4)
                arg.i4 = v.lVal;
            else if (v.vt == (VT_BYREF | VT_I4) && v.plVal)
                arg.i4 = *v.plVal;
            else
                return false;
            return true;
        case 's':
            if (v.vt == VT_BSTR)
                arg.bstr = v.bstrVal;
            else if (v.vt == (VT_BYREF | VT_BSTR) && v.pbstrVal)
                arg.bstr = *v.pbstrVal;
            else
                return false;
            return true;
        case 'B':
            arg.outBstr = v.vt == (VT_BYREF | VT_BSTR) ? v.pbstrVal : nullptr;
            return arg.outBstr != nullptr;
        default:
            arg.outI4 = v.vt == (VT_BYREF | VT_I4) ? v.plVal : nullptr;
            return arg.outI4 != nullptr;
    }
}

// Calls member `id` with arguments in declaration order.
HRESULT CallMember(IReportObject& r, DISPID id, const Arg* a) {
    switch (id) {
        case 1:
            return r.Connect(a[0].bstr, a[1].bstr, a[2].bstr);
        case 2:
            return r.ShowReport(a[0].i4, a[1].i4, a[2].i4, a[3].i4, a[4].bstr);
        case 3:
            return r.ProcessTemplate(a[0].i4, a[1].i4, a[2].i4, a[3].bstr);
        case 4:
            return r.Disconnect();
        case 5:
            return r.Reconnect();
        case 6:
            return r.put_RegisteredToCompany(a[0].bstr);
        case 7:
            return r.GetContactEMail(a[0].i4, a[1].i4, a[2].outBstr);
        case 8:
            return r.CopyRecord(a[0].bstr, a[1].bstr, a[2].i4, a[3].i4, a[4].outI4);
        case 9:
            return r.PrintBlankQuestionnaire(a[0].i4, a[1].i4, a[2].bstr);
        case 10:
            return r.PrintCompletedQuestionnaire(a[0].i4, a[1].i4, a[2].bstr);
        case 11:
            return r.PrintGraph(a[0].i4, a[1].i4, a[2].i4, a[3].i4, a[4].bstr);
        case 12:
            return r.ShowNutritionBreakdown(a[0].i4, a[1].i4);
        case 13:
            return r.ShowCalorieIntakeGraph(a[0].i4, a[1].i4);
        case 14:
            return r.ShowExerciseGraph(a[0].i4, a[1].i4);
        case 15:
            return r.ShowPlannedWeightLoss(a[0].i4, a[1].i4);
        case 16:
            return r.ShowWeightGraph(a[0].i4, a[1].i4);
    }
    return DISP_E_MEMBERNOTFOUND;
}

}  // namespace

int LiveObjectCount() {
    return liveObjects;
}

TReportObject::TReportObject() {
    Initialize();
    ++liveObjects;
}

TReportObject::~TReportObject() {
    --liveObjects;
}

void TReportObject::Initialize() {
    // Inside the program the library's messages appear as the program's do: as Qt message
    // boxes. Without an application object, or on the offscreen platform where nobody could
    // answer a box, they go to standard error (and, as always, to the error log).
    if (QCoreApplication::instance() && QGuiApplication::platformName() != "offscreen") {
        static widgets::QtPlatform platform;
    }
    DataMod = &LibraryDataModule();
    report_ = std::make_unique<ZLMReport>();
}

HRESULT TReportObject::QueryInterface(const GUID& iid, void** out) {
    if (!out)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IReportObject) {
        *out = static_cast<IReportObject*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

std::uint32_t TReportObject::AddRef() {
    return ++refs_;
}

std::uint32_t TReportObject::Release() {
    const std::uint32_t left = --refs_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT TReportObject::GetTypeInfoCount(std::uint32_t* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT TReportObject::GetTypeInfo(std::uint32_t, LCID, void** info) {
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT TReportObject::GetIDsOfNames(const GUID&, const char16_t* const* names, std::uint32_t count,
                                     LCID, DISPID* ids) {
    if (count == 0)
        return S_OK;
    if (!names || !ids || !names[0])
        return E_POINTER;
    // Names after the first would be parameter names, which are not served.
    for (std::uint32_t i = 0; i < count; ++i)
        ids[i] = -1;
    for (DISPID id = 1; id <= DISPID{std::size(kMembers)}; ++id) {
        if (SameNameIgnoringCase(names[0], kMembers[id - 1].name)) {
            ids[0] = id;
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT TReportObject::Invoke(DISPID id, const GUID&, LCID, std::uint16_t flags, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO* excepInfo, std::uint32_t* argErr) {
    if (id < 1 || id > DISPID{std::size(kMembers)})
        return DISP_E_MEMBERNOTFOUND;
    const std::string_view kinds = kMembers[id - 1].args;
    const bool isProperty = id == kRegisteredToCompany;
    if (isProperty ? !(flags & DISPATCH_PROPERTYPUT) : !(flags & DISPATCH_METHOD))
        return DISP_E_MEMBERNOTFOUND;

    const DISPPARAMS none;
    const DISPPARAMS& p = params ? *params : none;
    if (p.cArgs > 0 && !p.rgvarg)
        return E_POINTER;
    if (p.cNamedArgs > 0 && !(isProperty && p.cNamedArgs == 1 && p.rgdispidNamedArgs &&
                              p.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT))
        return DISP_E_MEMBERNOTFOUND;
    // A last out parameter may be left off: its value then comes back as the result.
    const bool hasOut = !kinds.empty() && (kinds.back() == 'B' || kinds.back() == 'I');
    const bool outAsResult = hasOut && result && p.cArgs == kinds.size() - 1;
    if (p.cArgs != kinds.size() && !outAsResult)
        return DISP_E_BADPARAMCOUNT;

    Arg args[5];
    BSTR resultBstr = nullptr;
    std::int32_t resultI4 = 0;
    for (std::uint32_t i = 0; i < p.cArgs; ++i) {
        const std::uint32_t position = p.cArgs - 1 - i;
        if (!ReadArg(p.rgvarg[position], kinds[i], args[i])) {
            if (argErr)
                *argErr = position;
            return DISP_E_TYPEMISMATCH;
        }
    }
    if (outAsResult) {
        args[p.cArgs].outBstr = &resultBstr;
        args[p.cArgs].outI4 = &resultI4;
    }
    // An out string passed by reference gives up its old value.
    if (kinds.ends_with('B') && !outAsResult) {
        BSTR* outBstr = args[kinds.size() - 1].outBstr;
        SysFreeString(*outBstr);
        *outBstr = nullptr;
    }

    ClearErrorInfo();
    const HRESULT hr = CallMember(*this, id, args);

    if (Failed(hr)) {
        SysFreeString(resultBstr);
        if (excepInfo) {
            const std::optional<ErrorInfo> info = GetErrorInfo();
            *excepInfo = EXCEPINFO{};
            excepInfo->bstrSource = ToBstr(info ? info->source : kReportObjectProgId);
            excepInfo->bstrDescription = ToBstr(info ? info->description : ResultText(hr));
            excepInfo->scode = hr;
        }
        return DISP_E_EXCEPTION;
    }
    if (result) {
        VariantClear(*result);
        if (outAsResult && kinds.back() == 'B') {
            result->vt = VT_BSTR;
            result->bstrVal = resultBstr;
        } else if (outAsResult) {
            result->vt = VT_I4;
            result->lVal = resultI4;
        }
    }
    return hr;
}

HRESULT TReportObject::Connect(BSTR zlmconn, BSTR metaconn, BSTR localconn) {
    return Safe([&] {
        constexpr const char* kTag = "TReportObject.IReportObject_Connect";
        TDataMod& dm = *DataMod;
        // A failure is logged by the data module and does not change the result.
        dm.Connect(dm.zlmConn, FromBstr(zlmconn));
        dm.Connect(dm.repConn, FromBstr(metaconn));
        dm.Connect(dm.localConn, FromBstr(localconn));
        dm.openQuery(dm.localConn, dm.qConfig, kTag, "select * from config");
        dm.openQuery(dm.repConn, dm.qSynonym, kTag, "select * from synonym");
    });
}

HRESULT TReportObject::Disconnect() {
    return Safe([] { DataMod->CloseConnections(); });
}

HRESULT TReportObject::Reconnect() {
    return Safe([] {
        constexpr const char* kTag = "TReportObject.ReConnect";
        TDataMod& dm = *DataMod;
        dm.zlmConn.SetConnected(false);
        dm.localConn.SetConnected(false);
        dm.repConn.SetConnected(false);
        for (db::Connection* conn : {&dm.zlmConn, &dm.localConn, &dm.repConn})
            dm.Connect(*conn, std::string(conn->ConnectionString()));
        dm.openQuery(dm.localConn, dm.qConfig, kTag, "select * from config");
        dm.openQuery(dm.repConn, dm.qSynonym, kTag, "select * from synonym");
    });
}

HRESULT TReportObject::put_RegisteredToCompany(BSTR value) {
    return Safe([&] { zl::OrganizationName = FromBstr(value); });
}

HRESULT TReportObject::ProcessTemplate(std::int32_t templateid, std::int32_t, std::int32_t,
                                       BSTR rtffile) {
    return Safe([&] {
        DocumentTemplate docTemplate;
        docTemplate.ProcessTemplate(FromBstr(rtffile), templateid);
    });
}

HRESULT TReportObject::GetContactEMail(std::int32_t customer, std::int32_t contact, BSTR* rv) {
    if (!rv)
        return E_POINTER;
    *rv = nullptr;
    return Safe([&] {
        std::string address;
        CustContact custContact;
        custContact.getContactEMail(customer, contact, address);
        *rv = ToBstr(address);
    });
}

// A failed copy gives 0; the copier has logged it.
HRESULT TReportObject::CopyRecord(BSTR table, BSTR parentfield, std::int32_t id,
                                  std::int32_t parentid, std::int32_t* newid) {
    if (!newid)
        return E_POINTER;
    return Safe([&] {
        RecordCopier copier;
        *newid = copier.CopyRec(FromBstr(table), FromBstr(parentfield), id, parentid);
    });
}

// Succeeds, also for a run that ended early (logged with the report id and the file), except
// for a report id without a definition: the user has been told, and kReportNotShown says so.
HRESULT TReportObject::ShowReport(std::int32_t repid, std::int32_t buid, std::int32_t userid,
                                  std::int32_t reportkey, BSTR htmlfile) {
    const std::string file = FromBstr(htmlfile);
    try {
        if (Failed(Reconnect()))
            return S_OK;
        report_->Run(repid, buid, userid, reportkey, file);
    } catch (const NoSuchReport& e) {
        SetErrorInfo(IID_IReportObject, kReportObjectProgId, e.what());
        return kReportNotShown;
    } catch (const std::exception& e) {
        LogError("TReportObject.ShowReport", e.what(),
                 "report " + std::to_string(repid) + ", " + file);
    } catch (...) {
        LogError("TReportObject.ShowReport", "Unknown exception",
                 "report " + std::to_string(repid) + ", " + file);
    }
    return S_OK;
}

HRESULT TReportObject::PrintBlankQuestionnaire(std::int32_t questid, std::int32_t, BSTR htmlfile) {
    return Safe([&] { reportserver::PrintBlankQuestionnaire(questid, FromBstr(htmlfile)); });
}

HRESULT TReportObject::PrintCompletedQuestionnaire(std::int32_t compquestid, std::int32_t,
                                                   BSTR htmlfile) {
    return Safe(
        [&] { reportserver::PrintCompletedQuestionnaire(compquestid, FromBstr(htmlfile)); });
}

HRESULT TReportObject::PrintGraph(std::int32_t reportid, std::int32_t buid, std::int32_t custid,
                                  std::int32_t reportkey, BSTR) {
    return Safe([&] { PrintGraphReport(reportid, buid, reportkey, custid); });
}

// The nutrition, exercise and weight charts log an ordinary exception and still succeed; the
// calorie chart's comes back as a failure result.
HRESULT TReportObject::ShowNutritionBreakdown(std::int32_t userid, std::int32_t) {
    return Safe([&] { reportserver::ShowNutritionBreakdown(userid); });
}

HRESULT TReportObject::ShowCalorieIntakeGraph(std::int32_t user, std::int32_t) {
    return Safe([&] { reportserver::ShowCalorieIntakeGraph(user); });
}

HRESULT TReportObject::ShowExerciseGraph(std::int32_t user, std::int32_t) {
    return Safe([&] { reportserver::ShowExerciseGraph(user); });
}

HRESULT TReportObject::ShowPlannedWeightLoss(std::int32_t, std::int32_t) {
    return S_OK;  // does nothing, whatever it is given
}

HRESULT TReportObject::ShowWeightGraph(std::int32_t user, std::int32_t) {
    return Safe([&] { reportserver::ShowWeightGraph(user); });
}

}  // namespace zl::reportserver
