Sample	Pb
ؖ12	Br�nn
ܖ3	Mé
