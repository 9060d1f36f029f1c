KrakÃ³w	Å½ÄÃ¡r	SiOâ‚‚
µg/g	°C	é
