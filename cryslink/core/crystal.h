#pragma once
// One crystal structure: lattice, space group, atom types, the asymmetric
// unit and every site of the unit cell. Lengths in nm, angles in degrees,
// positions as fractional coordinates.
#include <limits>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/atom_type.h"
#include "core/containers.h"
#include "core/large_allocator.h"
#include "core/space_group.h"

class CAtomDatabase;
class CCIFTags;

class CAtomSite {
public:
    CAtomSite() = default;
    void Initialize() { *this = CAtomSite(); }

    const CAtomType* AtomType = nullptr;  // entry of the owning crystal's AtomTypes, or none
    int iAtomType = -1;
    int iAsymSite = -1;
    std::string Label;
    double x = 0, y = 0, z = 0;
    double Occupancy = 0;
    double ForceX = 0, ForceY = 0, ForceZ = 0;

    // The label when the site has no type; else the type's Name, else its Label, else the site label.
    std::string GetElementName() const;
};

// Maps a fractional coordinate into [0, 0.9999999999): 1.0 gives 0, -0.25 gives 0.75.
double ReduceFractionalCoordinate(double value);

class CCrystal {
public:
    CCrystal();
    CCrystal(const CCrystal&) = delete;
    CCrystal& operator=(const CCrystal&) = delete;
    ~CCrystal();

    void Initialize();
    int AllocAtomTypes(int n);
    int AllocAtomAsymSites(int n);
    int AllocAtomSites(int n);
    // Empties the asymmetric site and site lists, keeping their capacities and
    // the atom types (for readers that fill the same crystal step after step).
    void ClearSites();

    int FindAtomType(const std::string& name) const;
    int AddAtomType(const std::string& name, double charge, bool unique);
    int AddAtomType(const CAtomType& record);
    // The element properties of a type from the atom databases (atomic number
    // and orbitals, atomic weight) and the atom-property defaults of `section`.
    void ReadTypeProperties(CAtomType& type, const std::string& section) const;
    int AddAtomAsymSite(const std::string& label, const std::string& typeName, double occupancy, double x, double y,
                        double z, double fx = 0, double fy = 0, double fz = 0);
    int AddAtomAsymSite(const CAtomSite& record);
    int AddAtomSite(const std::string& label, int iAtomType, int iAsymSite, double occupancy, double x, double y,
                    double z, double fx = 0, double fy = 0, double fz = 0);
    int AddAtomSite(const CAtomSite& record);
    // First site (table order) of the type within DuplicateTolerance of the
    // position, measured to the nearest lattice image; -1 when none.
    int FindAtomSite(int iAtomType, double x, double y, double z) const;
    int CopyAsymSitesToSites();
    int ExpandAsymSites();
    // For readers that give only the asymmetric unit: the lattice vectors, a
    // site table sized for the expansion, every site of the cell, and the
    // atoms of each type in nEachAtoms (the counts of the chemical formula).
    int FillUnitCell();
    void Copy(const CCrystal& source);

    void SetLatticeParameters(double a, double b, double c, double alpha, double beta, double gamma);
    int CalculateLatticeVectors();
    void CalculateVolume();
    void CalculateDensity();
    double GetDistance2(double x1, double y1, double z1, double x2, double y2, double z2) const {
        const double dx = x2 - x1, dy = y2 - y1, dz = z2 - z1;
        return Metric[0][0] * dx * dx + Metric[1][1] * dy * dy + Metric[2][2] * dz * dz +
               2.0 * (Metric[0][1] * dx * dy + Metric[0][2] * dx * dz + Metric[1][2] * dy * dz);
    }
    // Squared distance to the nearest lattice image of the difference.
    double GetNearestImageDistance2(double x1, double y1, double z1, double x2, double y2, double z2) const;
    int CartesianToFractional(double X, double Y, double Z, double& x, double& y, double& z) const;
    void FractionalToCartesian(double x, double y, double z, double& X, double& Y, double& Z) const;

    std::string Name;
    double Pressure = 0;
    double Temperature = 0;
    // Energy of the frame in eV, from the trajectory readers that print one; NaN when none does.
    double Energy = std::numeric_limits<double>::quiet_NaN();
    double Density = 0;
    std::string ChemicalName;
    double Volume = 0;
    double a = 0, b = 0, c = 0;
    double alpha = 0, beta = 0, gamma = 0;
    CMyVector<double> LatticeVector[3];
    double Metric[3][3] = {};
    CSpaceGroup SpaceGroup;
    int nMaxAtomTypes = 0, nMaxAtomAsymSites = 0, nMaxAtomSites = 0;
    int nAtomTypes = 0;
    std::vector<CAtomType> AtomTypes;
    CMyVector<int32_t> nEachAtoms;
    int nAtomAsymSites = 0;
    LargeVector<CAtomSite> AtomAsymSites;
    int nAtomSites = 0;
    LargeVector<CAtomSite> AtomSites;
    // The atom tables new types take their element properties from; none for
    // a crystal whose types need no atomic numbers or weights.
    const CAtomDatabase* AtomDatabase = nullptr;
    std::unique_ptr<CCIFTags> CIFTags;
    double DuplicateTolerance = 1e-3;
    std::string ChemicalFormula;

private:
    void LinkSiteType(CAtomSite& site);
    // Asymmetric sites counted by element name, for automatic labels.
    std::unordered_map<std::string, int> asymSitesPerElement;
};
