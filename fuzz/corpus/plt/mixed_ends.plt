Name	X
b	1c	é
