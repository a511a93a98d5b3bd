#include "core/crystal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/atom_database.h"
#include "core/cif_tags.h"
#include "core/units.h"

namespace {
constexpr double kAvogadro = 6.02204e23;
}  // namespace

std::string CAtomSite::GetElementName() const {
    if (!AtomType) return Label;
    if (!AtomType->Name.empty()) return AtomType->Name;
    if (!AtomType->Label.empty()) return AtomType->Label;
    return Label;
}

double ReduceFractionalCoordinate(double value) {
    if (value >= 0.0 && value < 1.0) return value;
    if (!std::isfinite(value)) return 0.0;
    double t = value - std::trunc(value);
    while (t < 0.0) t += 1.0;
    while (t >= 0.9999999999) t -= 1.0;
    return t;
}

CCrystal::CCrystal() : CIFTags(std::make_unique<CCIFTags>()) {
    for (auto& v : LatticeVector) v.Alloc(0, 2);
    Initialize();
}

CCrystal::~CCrystal() = default;

void CCrystal::Initialize() {
    DuplicateTolerance = 1e-3;
    Pressure = Temperature = Density = Volume = 0;
    Energy = std::numeric_limits<double>::quiet_NaN();
    Name.clear();
    ChemicalName = "None";
    a = b = c = alpha = beta = gamma = 0;
    for (auto& row : Metric)
        for (double& g : row) g = 0;
    for (int i = 0; i < 3; ++i) {
        LatticeVector[i].Alloc(0, 2);
        for (int j = 0; j < 3; ++j) LatticeVector[i][j] = i == j ? 1.0 : 0.0;
    }
    SpaceGroup.SetP1();
    AllocAtomTypes(20);
    AllocAtomAsymSites(20);
    AllocAtomSites(4096);
}

int CCrystal::AllocAtomTypes(int n) {
    AtomTypes.clear();
    nAtomTypes = 0;
    nMaxAtomTypes = n > 0 ? n : 0;
    AtomTypes.resize(static_cast<size_t>(nMaxAtomTypes));
    if (nMaxAtomTypes > 0) {
        nEachAtoms.Alloc(0, nMaxAtomTypes - 1);
        for (int i = 0; i < nMaxAtomTypes; ++i) nEachAtoms[i] = 0;
    }
    // Sites keep their type index; their type reference follows the new table.
    for (CAtomSite& site : AtomAsymSites) LinkSiteType(site);
    for (CAtomSite& site : AtomSites) LinkSiteType(site);
    return nMaxAtomTypes;
}

int CCrystal::AllocAtomAsymSites(int n) {
    AtomAsymSites.clear();
    nAtomAsymSites = 0;
    nMaxAtomAsymSites = n > 0 ? n : 0;
    AtomAsymSites.resize(static_cast<size_t>(nMaxAtomAsymSites));
    asymSitesPerElement.clear();
    return nMaxAtomAsymSites;
}

int CCrystal::AllocAtomSites(int n) {
    AtomSites.clear();
    nAtomSites = 0;
    nMaxAtomSites = n > 0 ? n : 0;
    AtomSites.resize(static_cast<size_t>(nMaxAtomSites));
    return nMaxAtomSites;
}

void CCrystal::ClearSites() {
    nAtomAsymSites = 0;
    nAtomSites = 0;
    asymSitesPerElement.clear();
}

int CCrystal::FindAtomType(const std::string& name) const {
    for (int i = 0; i < nAtomTypes; ++i)
        if (AtomTypes[i].Name == name) return i;
    return -1;
}

int CCrystal::AddAtomType(const std::string& name, double charge, bool unique) {
    int repeat = 0;
    if (unique) {
        const int found = FindAtomType(name);
        if (found >= 0) return found;
    } else {
        for (int i = 0; i < nAtomTypes; ++i) {
            const std::string& existing = AtomTypes[i].Name;
            if (existing.substr(0, existing.find('{')) == name) ++repeat;
        }
    }
    if (nAtomTypes >= nMaxAtomTypes) {
        std::printf("nAtomTypes [%d] exceeds maximum [%d].\n", nAtomTypes, nMaxAtomTypes);
        return nAtomTypes;
    }
    std::printf("nSameAtom=%d\n", repeat);
    std::string typeName = name;
    if (repeat > 0) {
        typeName = name + "{" + static_cast<char>('a' + repeat) + "}";
        std::printf("   [%s]\n", typeName.c_str());
    }
    CAtomType& type = AtomTypes[nAtomTypes];
    type.Initialize();
    type.Name = typeName;
    ReadTypeProperties(type, name);
    type.Charge = charge;
    return nAtomTypes++;
}

void CCrystal::ReadTypeProperties(CAtomType& type, const std::string& section) const {
    if (AtomDatabase) AtomDatabase->Fill(type);
    // The run has no atom-property file: every key of the section takes its default.
    type.ReadAtomProperty(section, std::string());
}

int CCrystal::AddAtomType(const CAtomType& record) {
    const int found = FindAtomType(record.Name);
    if (found >= 0) return found;
    if (nAtomTypes >= nMaxAtomTypes) {
        std::printf("nAtomTypes [%d] exceeds maximum [%d].\n", nAtomTypes, nMaxAtomTypes);
        return nAtomTypes;
    }
    AtomTypes[nAtomTypes] = record;
    return nAtomTypes++;
}

void CCrystal::LinkSiteType(CAtomSite& site) {
    site.AtomType = (site.iAtomType >= 0 && site.iAtomType < nAtomTypes) ? &AtomTypes[site.iAtomType] : nullptr;
}

namespace {

// The next slot of a site table, or nullptr after the table-full message.
CAtomSite* NextSlot(LargeVector<CAtomSite>& table, int count, int capacity, const char* name) {
    if (count >= capacity) {
        std::printf("%s [%d] exceeds maximum [%d].\n", name, count, capacity);
        return nullptr;
    }
    return &table[count];
}

void SetPosition(CAtomSite& site, double occupancy, double x, double y, double z, double fx, double fy, double fz) {
    site.Occupancy = occupancy;
    site.x = x;
    site.y = y;
    site.z = z;
    site.ForceX = fx;
    site.ForceY = fy;
    site.ForceZ = fz;
}

// A record copied into a slot: every field but the force, which the slot keeps.
void CopyKeepingForce(CAtomSite& site, const CAtomSite& record) {
    const double fx = site.ForceX, fy = site.ForceY, fz = site.ForceZ;
    site = record;
    site.ForceX = fx;
    site.ForceY = fy;
    site.ForceZ = fz;
}

}  // namespace

int CCrystal::AddAtomAsymSite(const std::string& label, const std::string& typeName, double occupancy, double x,
                              double y, double z, double fx, double fy, double fz) {
    AddAtomType(typeName, 0.0, true);
    std::string siteLabel = label;
    if (siteLabel.empty()) {
        auto it = asymSitesPerElement.find(typeName);
        siteLabel = typeName + std::to_string((it == asymSitesPerElement.end() ? 0 : it->second) + 1);
    }
    const std::string& lookup = typeName.empty() ? siteLabel : typeName;
    CAtomSite* site = NextSlot(AtomAsymSites, nAtomAsymSites, nMaxAtomAsymSites, "nAtomAsymSites");
    if (!site) return nAtomAsymSites;
    site->iAtomType = FindAtomType(lookup);
    LinkSiteType(*site);
    site->iAsymSite = nAtomAsymSites;
    site->Label = siteLabel;
    SetPosition(*site, occupancy, x, y, z, fx, fy, fz);
    ++asymSitesPerElement[site->GetElementName()];
    return ++nAtomAsymSites;
}

int CCrystal::AddAtomAsymSite(const CAtomSite& record) {
    CAtomSite* site = NextSlot(AtomAsymSites, nAtomAsymSites, nMaxAtomAsymSites, "nAtomAsymSites");
    if (!site) return nAtomAsymSites;
    CopyKeepingForce(*site, record);
    LinkSiteType(*site);
    ++asymSitesPerElement[site->GetElementName()];
    return ++nAtomAsymSites;
}

int CCrystal::AddAtomSite(const std::string& label, int iAtomType, int iAsymSite, double occupancy, double x,
                          double y, double z, double fx, double fy, double fz) {
    CAtomSite* site = NextSlot(AtomSites, nAtomSites, nMaxAtomSites, "nAtomSites");
    if (!site) return nAtomSites;
    site->Label = label;
    site->iAtomType = iAtomType;
    LinkSiteType(*site);
    site->iAsymSite = iAsymSite;
    SetPosition(*site, occupancy, x, y, z, fx, fy, fz);
    return ++nAtomSites;
}

int CCrystal::AddAtomSite(const CAtomSite& record) {
    CAtomSite* site = NextSlot(AtomSites, nAtomSites, nMaxAtomSites, "nAtomSites");
    if (!site) return nAtomSites;
    CopyKeepingForce(*site, record);
    LinkSiteType(*site);
    return ++nAtomSites;
}

double CCrystal::GetNearestImageDistance2(double x1, double y1, double z1, double x2, double y2, double z2) const {
    auto wrap = [](double d) { return d - std::floor(d + 0.5); };
    return GetDistance2(0, 0, 0, wrap(x2 - x1), wrap(y2 - y1), wrap(z2 - z1));
}

int CCrystal::FindAtomSite(int iAtomType, double x, double y, double z) const {
    const double tol2 = DuplicateTolerance * DuplicateTolerance;
    for (int i = 0; i < nAtomSites; ++i) {
        const CAtomSite& s = AtomSites[i];
        if (s.iAtomType == iAtomType && GetNearestImageDistance2(s.x, s.y, s.z, x, y, z) < tol2) return i;
    }
    return -1;
}

int CCrystal::CopyAsymSitesToSites() {
    nAtomSites = 0;
    for (int i = 0; i < nAtomAsymSites; ++i) {
        const CAtomSite& s = AtomAsymSites[i];
        AddAtomSite(s.Label, s.iAtomType, i, s.Occupancy, s.x, s.y, s.z, s.ForceX, s.ForceY, s.ForceZ);
    }
    return nAtomSites;
}

int CCrystal::FillUnitCell() {
    const long images =
        static_cast<long>(SpaceGroup.nSymmetry) * SpaceGroup.nCentering * (SpaceGroup.bInversion ? 2 : 1);
    AllocAtomSites(static_cast<int>(std::clamp(images * nAtomAsymSites, 1L, 1L << 24)));
    CalculateLatticeVectors();
    ExpandAsymSites();
    for (int i = 0; i < nAtomTypes; ++i) nEachAtoms[i] = 0;
    for (int i = 0; i < nAtomSites; ++i) {
        const int t = AtomSites[i].iAtomType;
        if (t >= 0 && t < nAtomTypes) ++nEachAtoms[t];
    }
    return nAtomSites;
}

void CCrystal::SetLatticeParameters(double a_, double b_, double c_, double alpha_, double beta_, double gamma_) {
    a = a_;
    b = b_;
    c = c_;
    alpha = alpha_;
    beta = beta_;
    gamma = gamma_;
}

int CCrystal::CalculateLatticeVectors() {
    for (auto& v : LatticeVector) v.Alloc(0, 2);
    const double ca = std::cos(alpha * units::kDegToRad), cb = std::cos(beta * units::kDegToRad), cg = std::cos(gamma * units::kDegToRad);
    const double sb = std::sin(beta * units::kDegToRad), sg = std::sin(gamma * units::kDegToRad);
    const double cy = (ca - cb * cg) / sg;
    const double ratio = cy / sb;
    const double cz = sb * std::sqrt(std::fmax(0.0, 1.0 - ratio * ratio));
    const double unit[3][3] = {{1, 0, 0}, {cg, sg, 0}, {cb, cy, cz}};
    const double length[3] = {a, b, c};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) LatticeVector[i][j] = length[i] * unit[i][j];
    const double cosine[3][3] = {{1, cg, cb}, {cg, 1, ca}, {cb, ca, 1}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) Metric[i][j] = length[i] * length[j] * cosine[i][j];
    CalculateVolume();
    return 1;
}

void CCrystal::CalculateVolume() {
    const double ca = std::cos(alpha * units::kDegToRad), cb = std::cos(beta * units::kDegToRad), cg = std::cos(gamma * units::kDegToRad);
    const double s = 1.0 - ca * ca - cb * cb - cg * cg + 2.0 * ca * cb * cg;
    Volume = a * b * c * std::sqrt(std::fmax(0.0, s));
}

void CCrystal::CalculateDensity() {
    double mass = 0.0;
    for (int i = 0; i < nAtomSites; ++i) {
        const CAtomSite& s = AtomSites[i];
        if (s.iAtomType >= 0 && s.iAtomType < nAtomTypes) mass += AtomTypes[s.iAtomType].AtomicWeight * s.Occupancy;
    }
    Density = Volume > 0 ? mass / kAvogadro / (Volume * 1e-21) : 0.0;
}

int CCrystal::CartesianToFractional(double X, double Y, double Z, double& x, double& y, double& z) const {
    double m[9];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m[i * 3 + j] = LatticeVector[i][j];
    double det = 0;
    const int ret = minver(m, 3, 3, 1e-6, &det);
    if (ret != 0) {
        std::printf("Error in CCrystal::CartesianToFractional: return of minver is %d\n", ret);
        return 0;
    }
    x = m[0] * X + m[3] * Y + m[6] * Z;
    y = m[1] * X + m[4] * Y + m[7] * Z;
    z = m[2] * X + m[5] * Y + m[8] * Z;
    return 1;
}

void CCrystal::Copy(const CCrystal& source) {
    *CIFTags = *source.CIFTags;
    Name = source.Name;
    SpaceGroup = source.SpaceGroup;
    AtomDatabase = source.AtomDatabase;
    ChemicalName = source.ChemicalName;
    Volume = source.Volume;
    ChemicalFormula = source.ChemicalFormula;
    SetLatticeParameters(source.a, source.b, source.c, source.alpha, source.beta, source.gamma);
    for (int i = 0; i < 3; ++i) LatticeVector[i] = source.LatticeVector[i];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) Metric[i][j] = source.Metric[i][j];
    AllocAtomTypes(source.nMaxAtomTypes);
    for (int i = 0; i < source.nAtomTypes; ++i) {
        AddAtomType(source.AtomTypes[i]);
        nEachAtoms[i] = source.nEachAtoms[i];
    }
    AllocAtomAsymSites(source.nMaxAtomAsymSites);
    for (int i = 0; i < source.nAtomAsymSites; ++i) AddAtomAsymSite(source.AtomAsymSites[i]);
    AllocAtomSites(source.nMaxAtomSites);
    for (int i = 0; i < source.nAtomSites; ++i) AddAtomSite(source.AtomSites[i]);
    DuplicateTolerance = source.DuplicateTolerance;
    Pressure = source.Pressure;
    Temperature = source.Temperature;
    Energy = source.Energy;
    Density = source.Density;
}

void CCrystal::FractionalToCartesian(double x, double y, double z, double& X, double& Y, double& Z) const {
    X = x * LatticeVector[0][0] + y * LatticeVector[1][0] + z * LatticeVector[2][0];
    Y = x * LatticeVector[0][1] + y * LatticeVector[1][1] + z * LatticeVector[2][1];
    Z = x * LatticeVector[0][2] + y * LatticeVector[1][2] + z * LatticeVector[2][2];
}
