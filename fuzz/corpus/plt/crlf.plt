Sample	SiO2	TiO2
A-1	50.1	1.2
A-2	48	
