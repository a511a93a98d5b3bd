#pragma once
// The CIF items Cryslink understands, read from the data block of a file that
// holds its structure.
#include <initializer_list>
#include <string>
#include <vector>

#include "core/cif_parser.h"

class CCIFTags {
public:
    // Reads the file: 1 when read, -1 when it cannot be opened, 0 when it holds no CIF data.
    int ReadCIFFile(const std::string& path);
    // 1 when the block has the tag (as an item or a loop column), else -1.
    int FindTag(const std::string& tag) const;
    // The value of a single item, unquoted; "Undefined" and -1 when absent.
    int GetTagString(const std::string& tag, std::string& out) const;
    // The value read as a number up to the first character that is not part of
    // it (5.4310(2) gives 5.431); unchanged and -1 when absent.
    int GetTagInt(const std::string& tag, int& out) const;
    int GetTagDouble(const std::string& tag, double& out) const;

    std::string FileName;
    std::string DataBlock;
    std::string AuditCreationDate;
    std::string AuditCreationMethod;
    int DatabaseCodeICSD = 0;
    std::string ChemicalNameSystematic;
    std::string ChemicalNameMineral;
    std::string ChemicalCompoundSource;
    std::string ChemicalFormulaStructural;
    std::string ChemicalFormulaSum;
    std::string PublSectionTitle;
    double a = 0, b = 0, c = 0;
    double alpha = 0, beta = 0, gamma = 0;
    double Volume = 0;
    double Z = 0;
    double DensityMeasured = 0;
    std::string SpaceGroupName;
    std::string SpaceGroupNameHall;
    int SpaceGroupNumber = 0;
    std::string CellSetting;

    int nSymmetry = 0;
    std::vector<std::string> SymmetryText;   // as x,y,z texts, also those of magnetic and superspace groups
    std::vector<std::string> CenteringText;  // a magnetic group's centrings: each applies after every operation
    int nAtomTypes = 0;
    std::vector<std::string> TypeSymbol;
    std::vector<double> OxidationNumber;
    int nAtomSites = 0;
    LargeVector<std::string> SiteLabel;
    LargeVector<std::string> SiteTypeSymbol;
    LargeVector<int> SiteMultiplicity;
    LargeVector<std::string> SiteWyckoff;
    LargeVector<double> SiteX, SiteY, SiteZ, SiteOccupancy;

private:
    void ChooseBlock(CifText&& text);
    std::vector<std::string> ReadOperations(std::initializer_list<const char*> tags, bool positionPart) const;
    void ReadLoops();
    CifBlock block;
};
