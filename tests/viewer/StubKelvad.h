#pragma once
// A dataset object that answers every IKelvad member with its empty value (0, "", Empty,
// false): tests derive from it and answer only the members their case needs.
#include "kelvadlib/IKelvad.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

class StubKelvad : public IKelvad {
public:
    std::string GetAttVbyVarNumbyAttname(Long varNum, const std::string& attname,
                                         Long nNc = 1) override {
        return {};
    }
    Long TimePt(const Variant& showDate, Long& nt1, Long& nt2, float& tw1, float& tw2,
                Long nNc = 1) override {
        return {};
    }
    std::string ErrorMessage() override { return {}; }
    std::string FName(Long nNc = 1) override { return {}; }
    float westEnd(Long nNc = 1) override { return {}; }
    float eastEnd(Long nNc = 1) override { return {}; }
    Long GridType(Long nNc = 1) override { return {}; }
    Long UnLimDId(Long nNc = 1) override { return {}; }
    Long nGatts(Long nNc = 1) override { return {}; }
    Long Var1st(Long nNc = 1) override { return {}; }
    Long DataType(Long nNc = 1) override { return {}; }
    float northEnd(Long nNc = 1) override { return {}; }
    float southEnd(Long nNc = 1) override { return {}; }
    Long nTime(Long nNc = 1) override { return {}; }
    Long nNodes(Long nNc = 1) override { return {}; }
    Long nElements(Long nNc = 1) override { return {}; }
    Long nCells(Long nNc = 1) override { return {}; }
    Long nLon(Long nNc = 1) override { return {}; }
    Long nLat(Long nNc = 1) override { return {}; }
    Long nXysize(Long nNc = 1) override { return {}; }
    Long nSide(Long nNc = 1) override { return {}; }
    Long iMax(Long nNc = 1) override { return {}; }
    Long jMax(Long nNc = 1) override { return {}; }
    Long kMax(Long nNc = 1) override { return {}; }
    std::string dimeName(Long nd, Long nNc = 1) override { return {}; }
    Long dimeSize(Long nd, Long nNc = 1) override { return {}; }
    Long dimeUnLimited(Long nd, Long nNc = 1) override { return {}; }
    Long dimeType(Long nd, Long nNc = 1) override { return {}; }
    Long nDimes(Long nNc = 1) override { return {}; }
    Long TimedId(Long nNc = 1) override { return {}; }
    Long TimevId(Long nNc = 1) override { return {}; }
    Long LeveldId(Long nNc = 1) override { return {}; }
    Long LevelvId(Long nNc = 1) override { return {}; }
    Long LondId(Long nNc = 1) override { return {}; }
    Long lonvId(Long nNc = 1) override { return {}; }
    Long LatdId(Long nNc = 1) override { return {}; }
    Long latvId(Long nNc = 1) override { return {}; }
    Long nodedId(Long nNc = 1) override { return {}; }
    Long elemdId(Long nNc = 1) override { return {}; }
    Long nCelldId(Long nNc = 1) override { return {}; }
    Long iCelldId(Long nNc = 1) override { return {}; }
    Long jCelldId(Long nNc = 1) override { return {}; }
    Long kCelldId(Long nNc = 1) override { return {}; }
    Long nVars(Long nNc = 1) override { return {}; }
    Long nVarsCoord(Long nNc = 1) override { return {}; }
    Long nVarsRecord(Long nNc = 1) override { return {}; }
    Long nVarsFixed(Long nNc = 1) override { return {}; }
    std::string variName(Long nv, Long nNc = 1) override { return {}; }
    Long variType(Long nv, Long nNc = 1) override { return {}; }
    Long variKind(Long nv, Long nNc = 1) override { return {}; }
    std::string variAttName(Long nv, Long nA, Long nNc = 1) override { return {}; }
    std::string variAttValue(Long nv, Long nA, Long nNc = 1) override { return {}; }
    std::string variAttType(Long nv, Long nA, Long nNc = 1) override { return {}; }
    Long variNarray(Long nv, Long nNc = 1) override { return {}; }
    Long variNattri(Long nv, Long nNc = 1) override { return {}; }
    double variByteSize(Long nv, Long nNc = 1) override { return {}; }
    Long variByteUnit(Long nv, Long nNc = 1) override { return {}; }
    std::string variUnit(Long nv, Long nNc = 1) override { return {}; }
    std::string variLongName(Long nv, Long nNc = 1) override { return {}; }
    std::string variScale(Long nv, Long nNc = 1) override { return {}; }
    std::string variMisnVal(Long nv, Long nNc = 1) override { return {}; }
    std::string variOffset(Long nv, Long nNc = 1) override { return {}; }
    std::string variArrayDimName(Long nv, Long nd, Long nNc = 1) override { return {}; }
    Long variArrayDimID(Long nv, Long nd, Long nNc = 1) override { return {}; }
    Long FillLonLatRad(VArray<float>& lon, VArray<float>& lat, Long nNc = 1) override { return {}; }
    Long FillLonLatDeg(VArray<float>& lon, VArray<float>& lat, Long nNc = 1) override { return {}; }
    Long GetLonLatRad(VArray<float>& lonOut, VArray<float>& latOut, const VArray<Long>& startp,
                      const VArray<Long>& endp, const VArray<Long>& stride, Long tcount,
                      Long nNc = 1) override {
        return {};
    }
    Long GetLonLatDeg(VArray<float>& lonOut, VArray<float>& latOut, const VArray<Long>& startp,
                      const VArray<Long>& endp, const VArray<Long>& stride, Long tcount,
                      Long nNc = 1) override {
        return {};
    }
    Long FillTime(VArray<double>& Time, Long nNc = 1) override { return {}; }
    Long FillOrvTime(VArray<Long>& Time, Long nNc = 1,
                     std::optional<Date> sDate = std::nullopt) override {
        return {};
    }
    Long FillvCoord(VArray<double>& vCorrd, Long nNc = 1) override { return {}; }
    std::string StartTime(Long nNc = 1) override { return {}; }
    Long StartTimeMin(Long nNc = 1) override { return {}; }
    Date EpochDate(Long nNc = 1) override { return {}; }
    Date startDate(Long nNc = 1) override { return {}; }
    Date endDate(Long nNc = 1) override { return {}; }
    std::string endTime(Long nNc = 1) override { return {}; }
    Long endTimeMin(Long nNc = 1) override { return {}; }
    Long TimePick(Long nNc = 1) override { return {}; }
    std::string timeUnit(Long nNc = 1) override { return {}; }
    Long LevelPick(Long nNc = 1) override { return {}; }
    std::string gAttName(Long nA, Long nNc = 1) override { return {}; }
    std::string gAttValue(Long nA, Long nNc = 1) override { return {}; }
    Long gAttType(Long nA, Long nNc = 1) override { return {}; }
    Long lonlatOrder(Long nNc = 1) override { return {}; }
    Long variLonLatOrder(Long nv, Long nNc = 1) override { return {}; }
    std::string StrType(Long ntype) override { return {}; }
    float dLon(Long nNc = 1) override { return {}; }
    float dLat(Long nNc = 1) override { return {}; }
    Variant GetVarsAny(Long nvar, float noVal, VArray<float>& scalarV, const VArray<Long>& startp,
                       const VArray<Long>& countp, const VArray<Long>& stride, Long tcount,
                       Long nNc = 1) override {
        return {};
    }
    Variant GetVaraAny(Long nvar, float noVal, VArray<float>& scalarV, const VArray<Long>& startp,
                       const VArray<Long>& countp, Long tcount, Long nNc = 1) override {
        return {};
    }
    Variant GetVarSShort(Long nvar, const VArray<Long>& startp, const VArray<Long>& countp,
                         const VArray<Long>& stride, VArray<Integer>& outShort,
                         Long nNc = 1) override {
        return {};
    }
    Variant GetVarSLong(Long nvar, const VArray<Long>& startp, const VArray<Long>& countp,
                        const VArray<Long>& stride, VArray<Long>& outLong, Long nNc = 1) override {
        return {};
    }
    Variant GetVarSFloat(Long nvar, const VArray<Long>& startp, const VArray<Long>& countp,
                         const VArray<Long>& stride, VArray<float>& outFloat,
                         Long nNc = 1) override {
        return {};
    }
    Variant GetVarSDouble(Long nvar, const VArray<Long>& startp, const VArray<Long>& countp,
                          const VArray<Long>& stride, VArray<double>& outDouble,
                          Long nNc = 1) override {
        return {};
    }
    std::string DatePicked(Long nt, Long nNc = 1) override { return {}; }
    Long ClosestTstep(Date showDate, Long nNc = 1) override { return {}; }
    Long TstepByMin(Long showDate, Long nNc = 1) override { return {}; }
    Long indexOfDID(Long nv, Long did, Long nNc = 1) override { return {}; }
    Long CloseAfterRead() override { return {}; }
    void CloseAfterRead(Long value) override {}
    void CloseNC(Long nNc = 1) override {}
    Variant pickUVVariables(Long nNc = 1) override { return {}; }
    std::string tempaKa() override { return {}; }
    void tempaKa(const std::string& value) override {}
    std::string waterUaKa() override { return {}; }
    void waterUaKa(const std::string& value) override {}
    std::string waterVaKa() override { return {}; }
    void waterVaKa(const std::string& value) override {}
    std::string windUaKa() override { return {}; }
    void windUaKa(const std::string& value) override {}
    std::string windVaKa() override { return {}; }
    void windVaKa(const std::string& value) override {}
    std::string lonaKa() override { return {}; }
    void lonaKa(const std::string& value) override {}
    std::string lataKa() override { return {}; }
    void lataKa(const std::string& value) override {}
    std::string ixaKa() override { return {}; }
    void ixaKa(const std::string& value) override {}
    std::string jyaKa() override { return {}; }
    void jyaKa(const std::string& value) override {}
    std::string timeaKa() override { return {}; }
    void timeaKa(const std::string& value) override {}
    std::string levelaKa() override { return {}; }
    void levelaKa(const std::string& value) override {}
    std::string cellaKa() override { return {}; }
    void cellaKa(const std::string& value) override {}
    std::string nodeaKa() override { return {}; }
    void nodeaKa(const std::string& value) override {}
    std::string elementaKa() override { return {}; }
    void elementaKa(const std::string& value) override {}
    Long waterUvId(Long nNc = 1) override { return {}; }
    Long waterVvId(Long nNc = 1) override { return {}; }
    Long windUvId(Long nNc = 1) override { return {}; }
    Long windVvId(Long nNc = 1) override { return {}; }
    Long waterTempvId(Long nNc = 1) override { return {}; }
    Variant SetVector(Long vNewValue, Long nNc = 1) override { return {}; }
    Long Vector(Long nNc = 1) override { return {}; }
    Long dTimeSec(Long nNc = 1) override { return {}; }
    float vMax(Long nv, Long nNc = 1) override { return {}; }
    float vMin(Long nv, Long nNc = 1) override { return {}; }
    Long FillNodeMesh(VArray<Long>& node1, VArray<Long>& node2, VArray<Long>& node3,
                      Long nNc = 1) override {
        return {};
    }
    Long variNum(const std::string& varName, Long nNc = 1) override { return {}; }
    Long Initialize(const std::string& sNcFileName) override { return {}; }
    Long StartEndDate(const std::string& sNcFileName, std::string& StartTime,
                      std::string& endTime) override {
        return {};
    }
    Long GetHeadOnly(const std::string& sNcFileName) override { return {}; }
    std::string gAttValbyName(const std::string& varName, Long nNc = 1) override { return {}; }
    Long DofTime(Long nv, Long nNc = 1) override { return {}; }
    Long DofLevel(Long nv, Long nNc = 1) override { return {}; }
    float GLonOffSet(float WestLon, float EastLon, Long nNc = 1) override { return {}; }
    bool Dated(Long nNc = 1) override { return {}; }
    Variant GetVarAny(Long nvar, float noVal, VArray<float>& scalarV, Long nNc = 1) override {
        return {};
    }
    Variant GetVarDouble(Long nvar, VArray<double>& outDouble, Long nNc = 1) override { return {}; }
    Variant GetVarFloat(Long nvar, VArray<float>& outFloat, Long nNc = 1) override { return {}; }
    Variant GetVarLong(Long nvar, VArray<Long>& outLong, Long nNc = 1) override { return {}; }
    Variant GetVarShort(Long nvar, VArray<Integer>& outShort, Long nNc = 1) override { return {}; }
    Variant GetVar1Any(Long nvar, double& scalarV, const VArray<Long>& indexp,
                       Long nNc = 1) override {
        return {};
    }
    Long LLbyNodeOrEleement(Long nNc = 1) override { return {}; }
    std::string faceaKa() override { return {}; }
    void faceaKa(const std::string& value) override {}
    Long MovingdId(Long nNc = 1) override { return -1; }
    Long FillLonLatAt(VArray<float>& lon, VArray<float>& lat, Long index, bool rad,
                      Long nNc = 1) override {
        return -1;
    }
};

#pragma GCC diagnostic pop
