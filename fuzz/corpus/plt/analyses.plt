Sample #	Name	Symbol	Color	Q	A	P	F	SiO2	Na2O+K2O	MgO	FeOt	Alk
1	Picrobasalt / Granite	1	1	30	40	25	0	43.5	2.0	18.0	11.5	2.0
2	Basanite / Granodiorite	2	2	25	15	55	0	44.3	4.8	8.5	11.8	4.8
3	Basalt / Tonalite	3	3	28	3	62	0	49.2	4.0	6.7	11.4	4.0
4	Trachybasalt / Syenite	4	4	3	75	15	0	49.2	6.3	5.2	10.5	6.3
5	Basaltic andesite / Monzonite	5	5	3	45	47	0	54.0	4.5	4.5	9.5	4.5
6	Andesite / Diorite	6	6	2	5	85	0	57.9	5.3	3.3	7.3	5.3
7	Phonolite / Nepheline syenite	7	7	0	60	15	20	56.2	14.2	0.6	4.1	14.2
8	Trachyte / Foid monzosyenite	8	8	0	40	35	15	61.2	10.5	0.9	4.7	10.5
9	Dacite / Theralite	9	9	0	5	60	25	65.0	5.8	1.8	5.0	5.8
10	Rhyolite / Quartz syenite	10	10	12	70	15	0	72.8	7.9	0.4	2.3	7.9
