Name	Café
x	1
