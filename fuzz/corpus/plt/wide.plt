a																																																				z
