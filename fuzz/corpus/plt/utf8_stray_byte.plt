Sample	SiO₂
Žďár	Kraków	�g/g
