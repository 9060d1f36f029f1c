// The iron re-split both norms apply before using an analysis when the user
// asked for a set FeO/(FeO + Fe2O3) ratio.
#pragma once

namespace norm {

struct IronSplit {
    double fe2o3;
    double feo;
};

// Whether and with which ratio the norm re-splits the iron (IronRatioSet,
// IronRatio); the ratio is FeO/(FeO + Fe2O3) in FeO equivalents, 0 to 1.
struct IronChoice {
    bool apply = false;
    float ratio = 0;
};

// All iron as FeO equivalent, then ratio of it as FeO and the rest as Fe2O3.
IronSplit ResplitIron(double fe2o3, double feo, double ratio);

}  // namespace norm
