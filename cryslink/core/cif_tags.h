#pragma once
// The tags and loops of one CIF data block.
class CCIFTags {
public:
    virtual ~CCIFTags() = default;
};
