// The object the viewer holds: IKelvad over one Kelvad. Most members read one field of the
// slot they name or hand their work to an operation of Kelvad. None lets anything escape: a
// slot, variable, dimension or attribute number out of range, an index array shorter than the
// variable's rank, or any error raised on the way gives the member's default value and a text
// in ErrorMessage. A time step out of range gives the default alone: a step without a label
// is no failure, and must not hide the text of one. A read of a URL whose server stops
// answering ends at the HTTP time-out with a text that names the URL.
#include "kelvadlib/IKelvad.h"
#include "kelvadlib/Kelvad.h"
#include "kelvadlib/NCUtils.h"
#include "kelvadlib/Utils.h"
#include "runtime/Text.h"

#include <chrono>
#include <exception>
#include <initializer_list>
#include <string>

namespace {

class KelvadComponent final : public IKelvad {
public:
    // ---- Header and recognition fields -------------------------------------------------------
    std::string GetAttVbyVarNumbyAttname(Long varNum, const std::string& attname,
                                         Long nNc) override {
        return guarded<std::string>("GetAttVbyVarNumbyAttname", {}, [&]() -> std::string {
            if (!slotOk("GetAttVbyVarNumbyAttname", nNc)) return {};
            // 0 names the global attributes.
            if (varNum != 0 && !varOk("GetAttVbyVarNumbyAttname", varNum, nNc)) return {};
            return k_.GetAttVbyVarNumbyAttname(varNum, attname, nNc);
        });
    }
    Long TimePt(const Variant& showDate, Long& nt1, Long& nt2, float& tw1, float& tw2,
                Long nNc) override {
        return guarded<Long>("TimePt", -1, [&]() -> Long {
            if (!slotOk("TimePt", nNc)) return -1;
            return k_.GetTimePt(nNc, showDate, nt1, nt2, tw1, tw2);
        });
    }
    std::string ErrorMessage() override {
        return guarded<std::string>("ErrorMessage", {}, [&] { return k_.ErrorMessage; });
    }
    std::string FName(Long nNc) override { return field("FName", nNc, &NcfRec::FName); }
    float westEnd(Long nNc) override { return field("westEnd", nNc, &NcfRec::westEnd); }
    float eastEnd(Long nNc) override { return field("eastEnd", nNc, &NcfRec::eastEnd); }
    Long GridType(Long nNc) override { return field("GridType", nNc, &NcfRec::GridType); }
    Long UnLimDId(Long nNc) override { return field("UnLimDId", nNc, &NcfRec::UnLimDId); }
    Long nGatts(Long nNc) override { return field("nGatts", nNc, &NcfRec::nGatts); }
    Long Var1st(Long nNc) override { return field("Var1st", nNc, &NcfRec::Var1st); }
    Long DataType(Long nNc) override { return field("DataType", nNc, &NcfRec::DataType); }
    float northEnd(Long nNc) override { return field("northEnd", nNc, &NcfRec::northEnd); }
    float southEnd(Long nNc) override { return field("southEnd", nNc, &NcfRec::southEnd); }
    Long nTime(Long nNc) override { return field("nTime", nNc, &NcfRec::nTime); }
    Long nNodes(Long nNc) override { return field("nNodes", nNc, &NcfRec::nNodes); }
    Long nElements(Long nNc) override { return field("nElements", nNc, &NcfRec::nElements); }
    Long nCells(Long nNc) override { return field("nCells", nNc, &NcfRec::nCells); }
    Long nLon(Long nNc) override { return field("nLon", nNc, &NcfRec::nLon); }
    Long nLat(Long nNc) override { return field("nLat", nNc, &NcfRec::nLat); }
    Long nXysize(Long nNc) override { return field("nXysize", nNc, &NcfRec::nXysize); }
    Long nSide(Long nNc) override { return field("nSide", nNc, &NcfRec::nSide); }
    Long iMax(Long nNc) override { return field("iMax", nNc, &NcfRec::iMax); }
    Long jMax(Long nNc) override { return field("jMax", nNc, &NcfRec::jMax); }
    Long kMax(Long nNc) override { return field("kMax", nNc, &NcfRec::kMax); }

    // ---- Dimensions ---------------------------------------------------------------------------
    std::string dimeName(Long nd, Long nNc) override {
        return dimeField<std::string>("dimeName", nd, nNc, [](const DimeRec& d) { return d.name; });
    }
    Long dimeSize(Long nd, Long nNc) override {
        return dimeField<Long>("dimeSize", nd, nNc, [](const DimeRec& d) { return d.size; });
    }
    Long dimeUnLimited(Long nd, Long nNc) override {
        return dimeField<Long>("dimeUnLimited", nd, nNc,
                               [](const DimeRec& d) { return d.unLimited; });
    }
    Long dimeType(Long nd, Long nNc) override {
        return dimeField<Long>("dimeType", nd, nNc, [](const DimeRec& d) { return d.type; });
    }
    Long nDimes(Long nNc) override { return field("nDimes", nNc, &NcfRec::nDimes); }
    Long TimedId(Long nNc) override { return field("TimedId", nNc, &NcfRec::time_dId); }
    Long TimevId(Long nNc) override { return field("TimevId", nNc, &NcfRec::time_vId); }
    Long LeveldId(Long nNc) override { return field("LeveldId", nNc, &NcfRec::level_dId); }
    Long LevelvId(Long nNc) override { return field("LevelvId", nNc, &NcfRec::level_vId); }
    Long LondId(Long nNc) override { return field("LondId", nNc, &NcfRec::lon_dId); }
    Long lonvId(Long nNc) override { return field("lonvId", nNc, &NcfRec::lon_vId); }
    Long LatdId(Long nNc) override { return field("LatdId", nNc, &NcfRec::lat_dId); }
    Long latvId(Long nNc) override { return field("latvId", nNc, &NcfRec::lat_vId); }
    Long nodedId(Long nNc) override { return field("nodedId", nNc, &NcfRec::node_dId); }
    Long elemdId(Long nNc) override { return field("elemdId", nNc, &NcfRec::elem_dId); }
    Long nCelldId(Long nNc) override { return field("nCelldId", nNc, &NcfRec::nCell_dId); }
    Long iCelldId(Long nNc) override { return field("iCelldId", nNc, &NcfRec::iCell_dId); }
    Long jCelldId(Long nNc) override { return field("jCelldId", nNc, &NcfRec::jCell_dId); }
    Long kCelldId(Long nNc) override { return field("kCelldId", nNc, &NcfRec::kCell_dId); }
    Long nVars(Long nNc) override { return field("nVars", nNc, &NcfRec::nVars); }
    Long nVarsCoord(Long nNc) override { return field("nVarsCoord", nNc, &NcfRec::nVarsCoord); }
    Long nVarsRecord(Long nNc) override { return field("nVarsRecord", nNc, &NcfRec::nVarsRecord); }
    Long nVarsFixed(Long nNc) override { return field("nVarsFixed", nNc, &NcfRec::nVarsFixed); }

    // ---- Variables ----------------------------------------------------------------------------
    std::string variName(Long nv, Long nNc) override {
        return variField<std::string>("variName", nv, nNc, [](const VariRec& v) { return v.name; });
    }
    Long variType(Long nv, Long nNc) override {
        return variField<Long>("variType", nv, nNc, [](const VariRec& v) { return v.type; });
    }
    Long variKind(Long nv, Long nNc) override {
        return variField<Long>("variKind", nv, nNc, [](const VariRec& v) { return v.kind; });
    }
    std::string variAttName(Long nv, Long nA, Long nNc) override {
        return attField<std::string>("variAttName", nv, nA, nNc,
                                     [nA](const VariRec& v) { return v.attName(nA); });
    }
    std::string variAttValue(Long nv, Long nA, Long nNc) override {
        return attField<std::string>("variAttValue", nv, nA, nNc,
                                     [nA](const VariRec& v) { return v.attValue(nA); });
    }
    std::string variAttType(Long nv, Long nA, Long nNc) override {
        return attField<std::string>("variAttType", nv, nA, nNc,
                                     [nA](const VariRec& v) { return CStr(v.attType(nA)); });
    }
    Long variNarray(Long nv, Long nNc) override {
        return variField<Long>("variNarray", nv, nNc, [](const VariRec& v) { return v.narray; });
    }
    Long variNattri(Long nv, Long nNc) override {
        return variField<Long>("variNattri", nv, nNc, [](const VariRec& v) { return v.nattri; });
    }
    double variByteSize(Long nv, Long nNc) override {
        return variField<double>("variByteSize", nv, nNc,
                                 [](const VariRec& v) { return v.byteSize; });
    }
    Long variByteUnit(Long nv, Long nNc) override {
        return variField<Long>("variByteUnit", nv, nNc,
                               [](const VariRec& v) { return v.byteUnit; });
    }
    std::string variUnit(Long nv, Long nNc) override {
        return variField<std::string>("variUnit", nv, nNc, [](const VariRec& v) { return v.unit; });
    }
    std::string variLongName(Long nv, Long nNc) override {
        return variField<std::string>("variLongName", nv, nNc,
                                      [](const VariRec& v) { return v.longName; });
    }
    std::string variScale(Long nv, Long nNc) override {
        return variField<std::string>("variScale", nv, nNc,
                                      [](const VariRec& v) { return CStr(v.scale); });
    }
    std::string variMisnVal(Long nv, Long nNc) override {
        return variField<std::string>("variMisnVal", nv, nNc,
                                      [](const VariRec& v) { return CStr(v.MisnVal); });
    }
    std::string variOffset(Long nv, Long nNc) override {
        return variField<std::string>("variOffset", nv, nNc,
                                      [](const VariRec& v) { return CStr(v.offset); });
    }
    std::string variArrayDimName(Long nv, Long nd, Long nNc) override {
        return varDimField<std::string>("variArrayDimName", nv, nd, nNc,
                                        [nd](const VariRec& v) { return v.arrayDimName(nd); });
    }
    Long variArrayDimID(Long nv, Long nd, Long nNc) override {
        return varDimField<Long>("variArrayDimID", nv, nd, nNc,
                                 [nd](const VariRec& v) { return v.arrayDimId(nd); });
    }

    // ---- Coordinate arrays and windows --------------------------------------------------------
    Long FillLonLatRad(VArray<float>& lon, VArray<float>& lat, Long nNc) override {
        return guarded<Long>("FillLonLatRad", -1, [&]() -> Long {
            if (!slotOk("FillLonLatRad", nNc)) return -1;
            return CLng(k_.doFill_LonLatRad(nNc, lon, lat));
        });
    }
    Long FillLonLatDeg(VArray<float>& lon, VArray<float>& lat, Long nNc) override {
        return guarded<Long>("FillLonLatDeg", -1, [&]() -> Long {
            if (!slotOk("FillLonLatDeg", nNc)) return -1;
            return CLng(k_.doFill_LonLatDeg(nNc, lon, lat));
        });
    }
    Long GetLonLatRad(VArray<float>& lonOut, VArray<float>& latOut, const VArray<Long>& startp,
                      const VArray<Long>& endp, const VArray<Long>& stride, Long tcount,
                      Long nNc) override {
        return guarded<Long>("GetLonLatRad", -1, [&]() -> Long {
            if (!slotOk("GetLonLatRad", nNc)) return -1;
            return k_.GetLonLatRad(lonOut, latOut, startp, endp, stride, tcount, nNc);
        });
    }
    Long GetLonLatDeg(VArray<float>& lonOut, VArray<float>& latOut, const VArray<Long>& startp,
                      const VArray<Long>& endp, const VArray<Long>& stride, Long tcount,
                      Long nNc) override {
        return guarded<Long>("GetLonLatDeg", -1, [&]() -> Long {
            if (!slotOk("GetLonLatDeg", nNc)) return -1;
            return k_.GetLonLatDeg(lonOut, latOut, startp, endp, stride, tcount, nNc);
        });
    }
    Long FillTime(VArray<double>& Time, Long nNc) override {
        return guarded<Long>("FillTime", -1, [&]() -> Long {
            if (!slotOk("FillTime", nNc)) return -1;
            return k_.doFill_Time(nNc, Time);
        });
    }
    Long FillOrvTime(VArray<Long>& Time, Long nNc, std::optional<Date> sDate) override {
        return guarded<Long>("FillOrvTime", -1, [&]() -> Long {
            if (!slotOk("FillOrvTime", nNc)) return -1;
            // A date at or before the origin counts as none given.
            if (!sDate || sDate->serial <= 0) return k_.doFill_OrvTime(nNc, Time);
            return k_.doFill_OrvTime(nNc, Time, *sDate);
        });
    }
    Long FillvCoord(VArray<double>& vCorrd, Long nNc) override {
        return guarded<Long>("FillvCoord", -1, [&]() -> Long {
            if (!slotOk("FillvCoord", nNc)) return -1;
            return k_.doFill_vCoord(nNc, vCorrd);
        });
    }

    // ---- Time axis ----------------------------------------------------------------------------
    std::string StartTime(Long nNc) override { return field("StartTime", nNc, &NcfRec::StartTime); }
    Long StartTimeMin(Long nNc) override {
        return field("StartTimeMin", nNc, &NcfRec::StartTimeMin);
    }
    Date EpochDate(Long nNc) override { return field("EpochDate", nNc, &NcfRec::EpochDate); }
    Date startDate(Long nNc) override { return field("startDate", nNc, &NcfRec::startDate); }
    Date endDate(Long nNc) override { return field("endDate", nNc, &NcfRec::endDate); }
    std::string endTime(Long nNc) override { return field("endTime", nNc, &NcfRec::endTime); }
    Long endTimeMin(Long nNc) override { return field("endTimeMin", nNc, &NcfRec::endTimeMin); }
    Long TimePick(Long nNc) override { return field("TimePick", nNc, &NcfRec::TimePick); }
    std::string timeUnit(Long nNc) override { return field("timeUnit", nNc, &NcfRec::timeUnit); }
    Long LevelPick(Long nNc) override { return field("LevelPick", nNc, &NcfRec::LevelPick); }

    // ---- Global attributes --------------------------------------------------------------------
    std::string gAttName(Long nA, Long nNc) override {
        return gAttField<std::string>("gAttName", nA, nNc,
                                      [nA](const NcfRec& r) { return r.gAttName(nA); });
    }
    std::string gAttValue(Long nA, Long nNc) override {
        return gAttField<std::string>("gAttValue", nA, nNc,
                                      [nA](const NcfRec& r) { return r.gAttValue(nA); });
    }
    Long gAttType(Long nA, Long nNc) override {
        return gAttField<Long>("gAttType", nA, nNc,
                               [nA](const NcfRec& r) { return r.gAttType(nA); });
    }
    Long lonlatOrder(Long nNc) override { return field("lonlatOrder", nNc, &NcfRec::lonlatOrder); }
    Long variLonLatOrder(Long nv, Long nNc) override {
        return variField<Long>("variLonLatOrder", nv, nNc,
                               [](const VariRec& v) { return v.lonlatOrder; });
    }
    std::string StrType(Long ntype) override {
        return guarded<std::string>("StrType", {}, [&] { return NcTypeName(ntype); });
    }
    float dLon(Long nNc) override { return field("dLon", nNc, &NcfRec::dLon); }
    float dLat(Long nNc) override { return field("dLat", nNc, &NcfRec::dLat); }

    // ---- Reads --------------------------------------------------------------------------------
    Variant GetVarsAny(Long nvar, float noVal, VArray<float>& scalarV, const VArray<Long>& startp,
                       const VArray<Long>& countp, const VArray<Long>& stride, Long tcount,
                       Long nNc) override {
        return read("GetVarsAny", nvar, nNc,
                    {{"startp", &startp}, {"countp", &countp}, {"stride", &stride}}, [&] {
                        return k_.do_get_vars_any(nNc, nvar, noVal, scalarV, startp, countp, stride,
                                                  tcount);
                    });
    }
    Variant GetVaraAny(Long nvar, float noVal, VArray<float>& scalarV, const VArray<Long>& startp,
                       const VArray<Long>& countp, Long tcount, Long nNc) override {
        return read("GetVaraAny", nvar, nNc, {{"startp", &startp}, {"countp", &countp}}, [&] {
            return k_.do_get_vara_any(nNc, nvar, noVal, scalarV, startp, countp, tcount);
        });
    }
    Variant GetVarSShort(Long nvar, const VArray<Long>& startp, const VArray<Long>& countp,
                         const VArray<Long>& stride, VArray<Integer>& outShort, Long nNc) override {
        return read("GetVarSShort", nvar, nNc,
                    {{"startp", &startp}, {"countp", &countp}, {"stride", &stride}}, [&] {
                        return k_.do_get_vars_short(nNc, nvar, startp, countp, stride, outShort);
                    });
    }
    Variant GetVarSLong(Long nvar, const VArray<Long>& startp, const VArray<Long>& countp,
                        const VArray<Long>& stride, VArray<Long>& outLong, Long nNc) override {
        return read("GetVarSLong", nvar, nNc,
                    {{"startp", &startp}, {"countp", &countp}, {"stride", &stride}}, [&] {
                        return k_.do_get_vars_Long(nNc, nvar, startp, countp, stride, outLong);
                    });
    }
    Variant GetVarSFloat(Long nvar, const VArray<Long>& startp, const VArray<Long>& countp,
                         const VArray<Long>& stride, VArray<float>& outFloat, Long nNc) override {
        return read("GetVarSFloat", nvar, nNc,
                    {{"startp", &startp}, {"countp", &countp}, {"stride", &stride}}, [&] {
                        return k_.do_get_vars_Float(nNc, nvar, startp, countp, stride, outFloat);
                    });
    }
    Variant GetVarSDouble(Long nvar, const VArray<Long>& startp, const VArray<Long>& countp,
                          const VArray<Long>& stride, VArray<double>& outDouble,
                          Long nNc) override {
        return read("GetVarSDouble", nvar, nNc,
                    {{"startp", &startp}, {"countp", &countp}, {"stride", &stride}}, [&] {
                        return k_.do_get_vars_Double(nNc, nvar, startp, countp, stride, outDouble);
                    });
    }

    // ---- Time steps and dimension positions ---------------------------------------------------
    std::string DatePicked(Long nt, Long nNc) override {
        return guarded<std::string>("DatePicked", {}, [&]() -> std::string {
            if (!slotOk("DatePicked", nNc)) return {};
            if (nt < 1 || nt > k_.ncf(nNc).nTime) return {};
            return k_.GetDate(nNc, nt);
        });
    }
    Long ClosestTstep(Date showDate, Long nNc) override {
        return guarded<Long>("ClosestTstep", 0, [&]() -> Long {
            if (!slotOk("ClosestTstep", nNc)) return 0;
            return k_.GetTstep(nNc, showDate);
        });
    }
    Long TstepByMin(Long showDate, Long nNc) override {
        return guarded<Long>("TstepByMin", 0, [&]() -> Long {
            if (!slotOk("TstepByMin", nNc)) return 0;
            return k_.GetTstepByMin(nNc, showDate);
        });
    }
    Long indexOfDID(Long nv, Long did, Long nNc) override {
        return guarded<Long>("indexOfDID", 0, [&]() -> Long {
            if (!varOk("indexOfDID", nv, nNc)) return 0;
            return k_.indexOfDID(nv, did, nNc);
        });
    }

    // ---- Open/close ---------------------------------------------------------------------------
    Long CloseAfterRead() override { return k_.CloseAfterRead; }
    void CloseAfterRead(Long value) override { k_.CloseAfterRead = value; }
    void CloseNC(Long nNc) override {
        guarded<bool>("CloseNC", false, [&] {
            if (slotOk("CloseNC", nNc)) k_.CloseNC(nNc);
            return true;
        });
    }

    // ---- Vector components and alias lists ----------------------------------------------------
    Variant pickUVVariables(Long nNc) override {
        return guarded<Variant>("pickUVVariables", {}, [&]() -> Variant {
            if (!slotOk("pickUVVariables", nNc)) return {};
            return k_.doPickUVVariables(nNc);
        });
    }
    std::string tempaKa() override { return aliasGet("tempaKa", k_.tempaKa); }
    void tempaKa(const std::string& value) override { aliasLet("tempaKa", k_.tempaKa, value); }
    std::string waterUaKa() override { return aliasGet("waterUaKa", k_.waterUaKa); }
    void waterUaKa(const std::string& value) override {
        aliasLet("waterUaKa", k_.waterUaKa, value);
    }
    std::string waterVaKa() override { return aliasGet("waterVaKa", k_.waterVaKa); }
    void waterVaKa(const std::string& value) override {
        aliasLet("waterVaKa", k_.waterVaKa, value);
    }
    std::string windUaKa() override { return aliasGet("windUaKa", k_.windUaKa); }
    void windUaKa(const std::string& value) override { aliasLet("windUaKa", k_.windUaKa, value); }
    std::string windVaKa() override { return aliasGet("windVaKa", k_.windVaKa); }
    void windVaKa(const std::string& value) override { aliasLet("windVaKa", k_.windVaKa, value); }
    std::string lonaKa() override { return aliasGet("lonaKa", k_.lonaKa); }
    void lonaKa(const std::string& value) override { aliasLet("lonaKa", k_.lonaKa, value); }
    std::string lataKa() override { return aliasGet("lataKa", k_.lataKa); }
    void lataKa(const std::string& value) override { aliasLet("lataKa", k_.lataKa, value); }
    std::string ixaKa() override { return aliasGet("ixaKa", k_.ixaKa); }
    void ixaKa(const std::string& value) override { aliasLet("ixaKa", k_.ixaKa, value); }
    std::string jyaKa() override { return aliasGet("jyaKa", k_.jyaKa); }
    void jyaKa(const std::string& value) override { aliasLet("jyaKa", k_.jyaKa, value); }
    std::string timeaKa() override { return aliasGet("timeaKa", k_.timeaKa); }
    void timeaKa(const std::string& value) override { aliasLet("timeaKa", k_.timeaKa, value); }
    std::string levelaKa() override { return aliasGet("levelaKa", k_.levelaKa); }
    void levelaKa(const std::string& value) override { aliasLet("levelaKa", k_.levelaKa, value); }
    std::string cellaKa() override { return aliasGet("cellaKa", k_.cellaKa); }
    void cellaKa(const std::string& value) override { aliasLet("cellaKa", k_.cellaKa, value); }
    std::string nodeaKa() override { return aliasGet("nodeaKa", k_.nodeaKa); }
    void nodeaKa(const std::string& value) override { aliasLet("nodeaKa", k_.nodeaKa, value); }
    std::string elementaKa() override { return aliasGet("elementaKa", k_.elementaKa); }
    void elementaKa(const std::string& value) override {
        aliasLet("elementaKa", k_.elementaKa, value);
    }
    // The vector ids answer -1 (none) for a slot out of range.
    Long waterUvId(Long nNc) override { return field("waterUvId", nNc, &NcfRec::waterUvId, -1); }
    Long waterVvId(Long nNc) override { return field("waterVvId", nNc, &NcfRec::waterVvId, -1); }
    Long windUvId(Long nNc) override { return field("windUvId", nNc, &NcfRec::windUvId, -1); }
    Long windVvId(Long nNc) override { return field("windVvId", nNc, &NcfRec::windVvId, -1); }
    Long waterTempvId(Long nNc) override {
        return field("waterTempvId", nNc, &NcfRec::waterTempvId, -1);
    }
    Variant SetVector(Long vNewValue, Long nNc) override {
        return guarded<Variant>("SetVector", {}, [&]() -> Variant {
            if (slotOk("SetVector", nNc)) k_.ncf(nNc).Vector = vNewValue;
            return {};
        });
    }
    Long Vector(Long nNc) override { return field("Vector", nNc, &NcfRec::Vector, -1); }
    Long dTimeSec(Long nNc) override { return field("dTimeSec", nNc, &NcfRec::dTimeSec, -1); }
    // The range of the last any-type read, for the variable it read only (of whichever slot).
    float vMax(Long nv, Long nNc) override {
        return guarded<float>("vMax", 0, [&]() -> float {
            if (!slotOk("vMax", nNc)) return 0;
            return k_.vMinMaxVar > 0 && nv == k_.vMinMaxVar ? k_.vMax : 0;
        });
    }
    float vMin(Long nv, Long nNc) override {
        return guarded<float>("vMin", 0, [&]() -> float {
            if (!slotOk("vMin", nNc)) return 0;
            return k_.vMinMaxVar > 0 && nv == k_.vMinMaxVar ? k_.vMin : 0;
        });
    }
    Long FillNodeMesh(VArray<Long>& node1, VArray<Long>& node2, VArray<Long>& node3,
                      Long nNc) override {
        return guarded<Long>("FillNodeMesh", -1, [&]() -> Long {
            if (!slotOk("FillNodeMesh", nNc)) return -1;
            const auto start = std::chrono::steady_clock::now();
            const Long result = k_.doFill_NodeMesh(nNc, node1, node2, node3);
            if (result < 0) k_.NoteNoAnswer("[FillNodeMesh] ", k_.ncf(nNc).FName, start);
            return result;
        });
    }
    Long variNum(const std::string& varName, Long nNc) override {
        return guarded<Long>("variNum", 0, [&]() -> Long {
            if (!slotOk("variNum", nNc)) return 0;
            return CLng(k_.getVarNum(nNc, varName));
        });
    }

    // ---- Set-up -------------------------------------------------------------------------------
    Long Initialize(const std::string& sNcFileName) override {
        return guarded<Long>("Initialize", -1, [&] { return k_.Initialize(sNcFileName); });
    }
    Long StartEndDate(const std::string& sNcFileName, std::string& StartTime,
                      std::string& endTime) override {
        return guarded<Long>("StartEndDate", -1,
                             [&] { return k_.StartEndDate(sNcFileName, StartTime, endTime); });
    }
    Long GetHeadOnly(const std::string& sNcFileName) override {
        return guarded<Long>("GetHeadOnly", -1, [&] { return k_.GetHeadOnly(sNcFileName); });
    }
    std::string gAttValbyName(const std::string& varName, Long nNc) override {
        return guarded<std::string>("gAttValbyName", {}, [&]() -> std::string {
            if (!slotOk("gAttValbyName", nNc)) return {};
            return k_.gAttValbyName(varName, nNc);
        });
    }
    Long DofTime(Long nv, Long nNc) override {
        return guarded<Long>("DofTime", 0, [&]() -> Long {
            if (!varOk("DofTime", nv, nNc)) return 0;
            return k_.DofTime(nv, nNc);
        });
    }
    Long DofLevel(Long nv, Long nNc) override {
        return guarded<Long>("DofLevel", 0, [&]() -> Long {
            if (!varOk("DofLevel", nv, nNc)) return 0;
            return k_.DofLevel(nv, nNc);
        });
    }
    float GLonOffSet(float WestLon, float EastLon, Long nNc) override {
        return guarded<float>("GLonOffSet", 0, [&]() -> float {
            if (!slotOk("GLonOffSet", nNc)) return 0;
            return k_.GLonOffSet(WestLon, EastLon, nNc);
        });
    }
    bool Dated(Long nNc) override {
        return guarded<bool>("Dated", false,
                             [&] { return slotOk("Dated", nNc) && k_.ncf(nNc).Dated == 1; });
    }
    Variant GetVarAny(Long nvar, float noVal, VArray<float>& scalarV, Long nNc) override {
        return read("GetVarAny", nvar, nNc, {},
                    [&] { return k_.do_get_var_any(nNc, nvar, noVal, scalarV); });
    }
    Variant GetVarDouble(Long nvar, VArray<double>& outDouble, Long nNc) override {
        return read("GetVarDouble", nvar, nNc, {},
                    [&] { return k_.do_get_var_Double(nNc, nvar, outDouble); });
    }
    Variant GetVarFloat(Long nvar, VArray<float>& outFloat, Long nNc) override {
        return read("GetVarFloat", nvar, nNc, {},
                    [&] { return k_.do_get_var_Float(nNc, nvar, outFloat); });
    }
    Variant GetVarLong(Long nvar, VArray<Long>& outLong, Long nNc) override {
        return read("GetVarLong", nvar, nNc, {},
                    [&] { return k_.do_get_var_Long(nNc, nvar, outLong); });
    }
    Variant GetVarShort(Long nvar, VArray<Integer>& outShort, Long nNc) override {
        return read("GetVarShort", nvar, nNc, {},
                    [&] { return k_.do_get_var_short(nNc, nvar, outShort); });
    }
    Variant GetVar1Any(Long nvar, double& scalarV, const VArray<Long>& indexp, Long nNc) override {
        return read("GetVar1Any", nvar, nNc, {{"indexp", &indexp}},
                    [&] { return k_.do_get_var1_any(nNc, nvar, indexp, scalarV); });
    }
    Long LLbyNodeOrEleement(Long nNc) override {
        return field("LLbyNodeOrEleement", nNc, &NcfRec::LLbyNodeOrEleement);
    }
    std::string faceaKa() override { return aliasGet("faceaKa", k_.faceaKa); }
    void faceaKa(const std::string& value) override { aliasLet("faceaKa", k_.faceaKa, value); }
    Long MovingdId(Long nNc) override { return field("MovingdId", nNc, &NcfRec::moving_dId, -1); }
    Long FillLonLatAt(VArray<float>& lon, VArray<float>& lat, Long index, bool rad,
                      Long nNc) override {
        return guarded<Long>("FillLonLatAt", -1, [&]() -> Long {
            if (!slotOk("FillLonLatAt", nNc)) return -1;
            return k_.doFill_LonLatAt(nNc, index, lon, lat, rad);
        });
    }

private:
    // An index array of a read, by its parameter name.
    struct IndexArray {
        const char* name;
        const VArray<Long>* array;
    };

    Kelvad k_;

    // Records a failure text; a failure to record it must not escape either.
    void note(const std::string& text) noexcept {
        try {
            k_.ErrorMessage = text;
        } catch (...) {}
    }

    // Runs body; anything it raises becomes a text in ErrorMessage and the fallback.
    template <class R, class F> R guarded(const char* member, R fallback, F&& body) noexcept {
        try {
            return body();
        } catch (const RuntimeError& e) {
            noteFailure(member, &e, nullptr);
        } catch (const std::exception& e) {
            noteFailure(member, nullptr, e.what());
        } catch (...) {
            noteFailure(member, nullptr, "unexpected failure");
        }
        return fallback;
    }
    void noteFailure(const char* member, const RuntimeError* e, const char* what) noexcept {
        try {
            const std::string tag = std::string("[") + member + "] ";
            k_.ErrorMessage = e ? ErrorFrame(tag, *e) : tag + what;
        } catch (...) {}
    }

    bool slotOk(const char* member, Long nNc) {
        if (k_.SlotInRange(nNc)) return true;
        note(std::string("[") + member + "] nNc out of range:" + Str(nNc));
        return false;
    }
    bool varOk(const char* member, Long nv, Long nNc) {
        if (!slotOk(member, nNc)) return false;
        if (nv >= 1 && nv <= k_.ncf(nNc).nVars) return true;
        note(std::string("[") + member + "] variable number out of range:" + Str(nv));
        return false;
    }

    // One field of the slot's record, or the default for a slot out of range.
    template <class M> M field(const char* member, Long nNc, M NcfRec::*p, M fallback = M{}) {
        return guarded<M>(member, fallback, [&]() -> M {
            if (!slotOk(member, nNc)) return fallback;
            return k_.ncf(nNc).*p;
        });
    }
    template <class R, class F> R dimeField(const char* member, Long nd, Long nNc, F get) {
        return guarded<R>(member, R{}, [&]() -> R {
            if (!slotOk(member, nNc)) return R{};
            const NcfRec& r = k_.ncf(nNc);
            if (nd < 1 || nd > r.nDimes) {
                note(std::string("[") + member + "] dimension number out of range:" + Str(nd));
                return R{};
            }
            return get(r.dime(nd));
        });
    }
    template <class R, class F> R gAttField(const char* member, Long nA, Long nNc, F get) {
        return guarded<R>(member, R{}, [&]() -> R {
            if (!slotOk(member, nNc)) return R{};
            const NcfRec& r = k_.ncf(nNc);
            if (nA < 1 || nA > r.nGatts) {
                note(std::string("[") + member + "] attribute number out of range:" + Str(nA));
                return R{};
            }
            return get(r);
        });
    }
    template <class R, class F> R variField(const char* member, Long nv, Long nNc, F get) {
        return guarded<R>(member, R{}, [&]() -> R {
            if (!varOk(member, nv, nNc)) return R{};
            return get(k_.ncf(nNc).vari(nv));
        });
    }
    template <class R, class F> R attField(const char* member, Long nv, Long nA, Long nNc, F get) {
        return guarded<R>(member, R{}, [&]() -> R {
            if (!varOk(member, nv, nNc)) return R{};
            const VariRec& v = k_.ncf(nNc).vari(nv);
            if (nA < 1 || nA > v.nattri) {
                note(std::string("[") + member + "] attribute number out of range:" + Str(nA));
                return R{};
            }
            return get(v);
        });
    }
    template <class R, class F>
    R varDimField(const char* member, Long nv, Long nd, Long nNc, F get) {
        return guarded<R>(member, R{}, [&]() -> R {
            if (!varOk(member, nv, nNc)) return R{};
            const VariRec& v = k_.ncf(nNc).vari(nv);
            if (nd < 1 || nd > v.narray) {
                note(std::string("[") + member + "] dimension number out of range:" + Str(nd));
                return R{};
            }
            return get(v);
        });
    }

    // A read forwarder: the slot, the variable and each index array (entries 1 to the
    // variable's rank) are checked before the read runs; Empty when one fails. A failed read
    // of a URL that waited out the HTTP time-out says so.
    template <class F>
    Variant read(const char* member, Long nvar, Long nNc, std::initializer_list<IndexArray> arrays,
                 F body) {
        return guarded<Variant>(member, {}, [&]() -> Variant {
            if (!varOk(member, nvar, nNc)) return {};
            const Long rank = k_.ncf(nNc).vari(nvar).narray;
            for (const IndexArray& a : arrays)
                if (!covers(*a.array, rank)) {
                    note(std::string("[") + member + "] " + a.name +
                         " shorter than the rank of the variable:" + Str(rank));
                    return {};
                }
            const auto start = std::chrono::steady_clock::now();
            Variant result = body();
            if (result.type() != Variant::Type::kEmpty && CLng(result) < 0)
                k_.NoteNoAnswer(std::string("[") + member + "] ", k_.ncf(nNc).FName, start);
            return result;
        });
    }
    // True when entries 1 to rank exist.
    static bool covers(const VArray<Long>& a, Long rank) {
        if (rank <= 0) return true;
        return a.Rank() == 1 && a.LBound() <= 1 && a.UBound() >= rank;
    }

    std::string aliasGet(const char* member, const std::string& list) {
        return guarded<std::string>(member, {}, [&] { return list; });
    }
    void aliasLet(const char* member, std::string& list, const std::string& value) {
        guarded<bool>(member, false, [&] {
            AddToAliasList(list, value);
            return true;
        });
    }
};

} // namespace

extern "C" KELVAD_EXPORT IKelvad* CreateKelvad() {
    try {
        return new KelvadComponent();
    } catch (...) {
        return nullptr;
    }
}
